#include "scanner/PhraseToolTip.h"

#include "scanner/CapitalsRule.h"
#include "scanner/CaptionNumbers.h"
#include "scanner/PhraseTable.h"
#include "scanner/TriggerPhrase.h"

#include <QStringList>

namespace PhraseToolTip {

namespace {

// How often one phrase occurs in the scan text, and how many of those occurrences a scan counts.
struct PhraseCount
{
    qsizetype occurrences = 0;
    qsizetype counted = 0;
};

PhraseCount countPhrase(const std::vector<Occurrence>& occurrences, qsizetype phraseIndex)
{
    PhraseCount count;
    for (const Occurrence& occurrence : occurrences) {
        if (occurrence.phraseIndex == phraseIndex) {
            ++count.occurrences;
            count.counted += occurrence.counts;
        }
    }
    return count;
}

// The plainer wordings, quoted, and whether taking the phrase out is one of them; empty without any.
QString aboutAlternatives(const QStringList& alternatives)
{
    QStringList quoted;
    for (const QString& wording : alternatives) {
        if (!wording.isEmpty())
            quoted << QStringLiteral("\u201c%1\u201d").arg(wording);
    }
    const bool removable = quoted.size() < alternatives.size();
    if (quoted.isEmpty())
        return removable ? QStringLiteral("Better left out.") : QString();
    return QStringLiteral("Plainer: %1%2")
        .arg(quoted.join(QStringLiteral(", ")), removable ? QStringLiteral(", or leave it out.") : QStringLiteral("."));
}

} // namespace

QString
aboutPhrase(const TriggerPhrase& phrase, qsizetype occurrences, qsizetype counted, const CaptionNumbers& numbers)
{
    const QLocale& locale = numbers.locale();
    QStringList lines {QStringLiteral("\u201c%1\u201d adds %2 to the score each time a scan counts it.")
                           .arg(phrase.phrase, numbers.weight(phrase.weight))};
    if (CapitalsRule::canBeInCapitals(phrase.phrase))
        lines << QStringLiteral("Written in capitals it counts twice: %1.")
                     .arg(numbers.weight(CapitalsRule::weightAdded(phrase.weight, true)));
    else
        lines << QStringLiteral("Capitals never make it count twice, as it holds more than the letters A to Z.");
    if (const QString wordings = aboutAlternatives(phrase.alternatives); !wordings.isEmpty())
        lines << wordings;
    if (occurrences == 0)
        lines << QStringLiteral("It does not occur in the message as it stands now.");
    else if (occurrences == 1)
        lines << QStringLiteral("It occurs once in this message, and a scan counts it.");
    else
        lines << QStringLiteral("It occurs %1 times in this message; a scan counts %2 of them.")
                     .arg(locale.toString(occurrences), locale.toString(counted));
    return lines.join(u'\n');
}

QString aboutOccurrence(const PhraseTable& table,
                        const std::vector<Occurrence>& occurrences,
                        const Occurrence& occurrence,
                        const CaptionNumbers& numbers)
{
    const PhraseCount count = countPhrase(occurrences, occurrence.phraseIndex);
    QString text = aboutPhrase(table.at(occurrence.phraseIndex), count.occurrences, count.counted, numbers);
    if (!occurrence.counts)
        text += QStringLiteral("\nA scan does not count this one: it counts the first occurrence, then at most ten "
                               "more that have a space on each side.");
    else if (occurrence.inCapitals)
        text += QStringLiteral("\nThis one is written in capitals and counts twice.");
    return text;
}

QString aboutOccurrencesAt(const PhraseTable& table,
                           const std::vector<Occurrence>& occurrences,
                           qsizetype offset,
                           const CaptionNumbers& numbers)
{
    QStringList tips;
    for (const Occurrence& occurrence : occurrences) {
        if (occurrence.offset() > offset)
            break;
        if (occurrence.offset() + occurrence.length > offset)
            tips << aboutOccurrence(table, occurrences, occurrence, numbers);
    }
    return tips.join(Separator);
}

QString aboutPhraseIn(const PhraseTable& table,
                      const std::vector<Occurrence>& occurrences,
                      qsizetype phraseIndex,
                      const CaptionNumbers& numbers)
{
    const PhraseCount count = countPhrase(occurrences, phraseIndex);
    return aboutPhrase(table.at(phraseIndex), count.occurrences, count.counted, numbers);
}

} // namespace PhraseToolTip
