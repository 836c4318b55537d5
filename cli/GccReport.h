#pragma once

#include "cli/ReportWriter.h"

// One line per handled occurrence in the form compilers use, which editors' error lists and build logs
// understand: "FILE:LINE:COLUMN: warning: trigger phrase 'free' (weight 1.5)".
class GccReport final : public ReportWriter
{
public:
    explicit GccReport(QTextStream& out)
        : m_out(out)
    {
    }

    void write(const RatedMessage& rated) override
    {
        for (const Occurrence& occurrence : rated.report.occurrences) {
            const TextPosition place = placeOf(occurrence, rated.read.message.places);
            m_out << rated.read.name() << ':' << place.line << ':' << place.column << ": warning: trigger phrase '"
                  << occurrence.phrase << (occurrence.bold ? "' in capitals" : "'") << " (weight "
                  << QString::number(weightAdded(occurrence, rated.phrases), 'g', QLocale::FloatingPointShortest)
                  << ")\n";
        }
    }

    void writeFault(const ReadMessage& read) override { m_out << read.name() << ": error: " << read.fault << '\n'; }

private:
    QTextStream& m_out;
};
