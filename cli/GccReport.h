#pragma once

#include "cli/ReportWriter.h"

class QTextStream;

// One line per handled occurrence in the form compilers use, which editors' error lists and build logs
// understand: "FILE:LINE:COLUMN: warning: trigger phrase 'free' (weight 1.5)". An occurrence that has no
// place in the file (in the body of a saved e-mail) names the file alone, as compilers do for a whole file.
class GccReport final : public ReportWriter
{
public:
    explicit GccReport(QTextStream& out);

    void write(const RatedMessage& rated) override;
    void writeFault(const ReadMessage& read) override;

private:
    QTextStream& m_out;
};
