#pragma once

#include "cli/OutcomeCaptions.h"
#include "cli/ReportWriter.h"

class QTextStream;

// For people: each message's verdict, score, percentage, phrases and occurrences as the window's captions
// show them, headed by the message's name; the only message of a run stands alone.
class TextReport final : public ReportWriter
{
public:
    TextReport(QTextStream& out, const RunFacts& facts);

    void write(const RatedMessage& rated) override;
    void writeSingle(const RatedMessage& rated) override;

private:
    void writeBlock(const RatedMessage& rated);

    QTextStream& m_out;
    bool m_stepThrough;
    OutcomeCaptions m_captions;
};
