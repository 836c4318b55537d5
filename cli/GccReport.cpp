#include "cli/GccReport.h"

#include "cli/NativePath.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTextStream>

GccReport::GccReport(QTextStream& out)
    : m_out(out)
{
}

void GccReport::write(const RatedMessage& rated)
{
    const QString name = NativePath::visible(rated.read.name());
    for (const Occurrence& occurrence : rated.outcome.occurrences) {
        m_out << name;
        if (const TextPosition place = placeOf(occurrence, rated.read.message.places); place.isKnown())
            m_out << ':' << place.line << ':' << place.column;
        m_out << ": warning: trigger phrase '" << occurrence.phrase << (occurrence.inCapitals ? "' in capitals" : "'")
              << " (weight " << QString::number(occurrence.weightAdded, 'g', QLocale::FloatingPointShortest) << ")\n";
    }
}

void GccReport::writeFault(const ReadMessage& read)
{
    m_out << (read.file.isEmpty() ? QCoreApplication::applicationName() : NativePath::visible(read.name()))
          << ": error: " << read.fault << '\n';
}
