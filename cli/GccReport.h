#pragma once

#include "cli/ReportWriter.h"

// One line per handled occurrence in the form compilers use, which editors' error lists and build logs
// understand: "FILE:LINE:COLUMN: warning: trigger phrase 'free' (weight 1.5)". An occurrence that has no
// place in the file (in the body of a saved e-mail) names the file alone, as compilers do for a whole file.
class GccReport final : public ReportWriter
{
public:
    explicit GccReport(QTextStream& out)
        : m_out(out)
    {
    }

    void write(const RatedMessage& rated) override
    {
        const QString name = NativePath::visible(rated.read.name());
        for (const Occurrence& occurrence : rated.report.occurrences) {
            m_out << name;
            if (const TextPosition place = placeOf(occurrence, rated.read.message.places); place.isKnown())
                m_out << ':' << place.line << ':' << place.column;
            m_out << ": warning: trigger phrase '" << occurrence.phrase << (occurrence.bold ? "' in capitals" : "'")
                  << " (weight "
                  << QString::number(weightAdded(occurrence, rated.phrases), 'g', QLocale::FloatingPointShortest)
                  << ")\n";
        }
    }

    void writeFault(const ReadMessage& read) override
    {
        m_out << (read.file.isEmpty() ? QCoreApplication::applicationName() : NativePath::visible(read.name()))
              << ": error: " << read.fault << '\n';
    }

private:
    QTextStream& m_out;
};
