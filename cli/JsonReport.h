#pragma once

#include "cli/ReportWriter.h"

// A single message's object as it stands; for several, one object per line (JSON Lines), each naming its
// file, and for the messages of a mailbox their number beside the part used ("message": {"number", "part"}).
class JsonReport final : public ReportWriter
{
public:
    explicit JsonReport(QTextStream& out)
        : m_out(out)
    {
    }

    void write(const RatedMessage& rated) override;
    void writeFault(const ReadMessage& read) override;

private:
    void writeLine(QJsonObject object, const ReadMessage& read);

    QTextStream& m_out;
};
