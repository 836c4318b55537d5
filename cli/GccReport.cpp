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
        QString where = name;
        if (const TextPosition place = placeOf(occurrence, rated.read.message.places); place.isKnown())
            where += QStringLiteral(":%1:%2").arg(place.line).arg(place.column);
        m_out << where << ": warning: trigger phrase '" << occurrence.phrase
              << (occurrence.inCapitals ? "' in capitals" : "'") << " (weight "
              << QString::number(occurrence.weightAdded, 'g', QLocale::FloatingPointShortest) << ")\n";
        // The best plainer wording, where there is one, as compilers note a fix.
        const QStringList wordings = suggestionsFor(occurrence, rated);
        if (wordings.isEmpty())
            continue;
        m_out << where << ": note: ";
        if (wordings.first().isEmpty())
            m_out << "remove it\n";
        else
            m_out << "write '" << wordings.first() << "' instead\n";
    }
}

void GccReport::writeFault(const ReadMessage& read)
{
    m_out << (read.file.isEmpty() ? QCoreApplication::applicationName() : NativePath::visible(read.name()))
          << ": error: " << read.fault << '\n';
}
