#include "mainwindow/PhraseToolTip.h"

#include "scanner/CaptionNumbers.h"
#include "scanner/ScanSession.h"
#include "scanner/TriggerPhrase.h"

namespace PhraseToolTip {

QString
aboutPhrase(const TriggerPhrase& phrase, qsizetype occurrences, qsizetype counted, const CaptionNumbers& numbers)
{
    const QLocale& locale = numbers.locale();
    QStringList lines {QStringLiteral("\u201c%1\u201d adds %2 to the score each time a scan counts it.")
                           .arg(phrase.phrase, numbers.weight(phrase.weight))};
    // Only a phrase of the letters A to Z alone can be written in capitals as a scan sees them.
    if (isAllCaps(phrase.phrase.toUpper()))
        lines << QStringLiteral("Written in capitals it counts twice: %1.").arg(numbers.weight(2 * phrase.weight));
    else
        lines << QStringLiteral("Capitals never make it count twice, as it holds more than the letters A to Z.");
    if (occurrences == 0)
        lines << QStringLiteral("It does not occur in the message as it stands now.");
    else if (occurrences == 1)
        lines << QStringLiteral("It occurs once in this message, and a scan counts it.");
    else
        lines << QStringLiteral("It occurs %1 times in this message; a scan counts %2 of them.")
                     .arg(locale.toString(occurrences), locale.toString(counted));
    return lines.join(u'\n');
}

QString aboutOccurrence(const TriggerPhrase& phrase,
                        qsizetype occurrences,
                        qsizetype counted,
                        bool countedHere,
                        bool inCapitals,
                        const CaptionNumbers& numbers)
{
    QString text = aboutPhrase(phrase, occurrences, counted, numbers);
    if (!countedHere)
        text += QStringLiteral("\nA scan does not count this one: it counts the first occurrence, then at most ten "
                               "more that have a space on each side.");
    else if (inCapitals)
        text += QStringLiteral("\nThis one is written in capitals and counts twice.");
    return text;
}

} // namespace PhraseToolTip
