#pragma once

#include "cli/OutcomeCaptions.h"
#include "cli/ReportWriter.h"

#include <QJsonObject>

class QTextStream;

// A single message's object as it stands; for several, one object per line (JSON Lines), each naming its
// file, and for the messages of a mailbox their number beside the part used ("message": {"number", "part"}).
class JsonReport final : public ReportWriter
{
public:
    JsonReport(QTextStream& out, const RunFacts& facts);

    void write(const RatedMessage& rated) override;
    void writeSingle(const RatedMessage& rated) override;
    void writeFault(const ReadMessage& read) override;

private:
    QJsonObject objectOf(const RatedMessage& rated);
    void writeLine(QJsonObject object, const ReadMessage& read);

    QTextStream& m_out;
    QString m_definitionsPath;
    qsizetype m_phrasesLoaded;
    OutcomeCaptions m_captions;
};
