#include "scanner/PhraseToolTip.h"

#include "scanner/CaptionNumbers.h"
#include "scanner/PhraseTable.h"
#include "scanner/ScanSession.h"
#include "scanner/TriggerPhrase.h"

#include <algorithm>

namespace PhraseToolTip {

namespace {

// Where one phrase occurs in the scan text and which of those occurrences a scan counts.
struct PhraseCount
{
    std::vector<qsizetype> starts;
    std::vector<bool> counted;
    qsizetype countedTotal = 0;
};

PhraseCount countPhrase(const PhraseTable& table,
                        QStringView scanText,
                        const std::vector<PhraseOccurrence>& occurrences,
                        qsizetype phraseIndex)
{
    PhraseCount count;
    for (const PhraseOccurrence& occurrence : occurrences) {
        if (occurrence.phraseIndex == phraseIndex)
            count.starts.push_back(occurrence.start);
    }
    count.counted = countedByScan(scanText, table.at(phraseIndex).phrase.size(), count.starts);
    count.countedTotal = std::count(count.counted.begin(), count.counted.end(), true);
    return count;
}

} // namespace

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

QString aboutOccurrenceIn(const PhraseTable& table,
                          QStringView scanText,
                          const std::vector<PhraseOccurrence>& occurrences,
                          const PhraseOccurrence& occurrence,
                          const CaptionNumbers& numbers)
{
    const PhraseCount count = countPhrase(table, scanText, occurrences, occurrence.phraseIndex);
    const auto here = std::lower_bound(count.starts.begin(), count.starts.end(), occurrence.start);
    const bool countedHere = count.counted[size_t(here - count.starts.begin())];
    const bool inCapitals = isAllCaps(scanText.sliced(occurrence.start, occurrence.length));
    return aboutOccurrence(table.at(occurrence.phraseIndex), qsizetype(count.starts.size()), count.countedTotal,
                           countedHere, inCapitals, numbers);
}

QString aboutOccurrencesAt(const PhraseTable& table,
                           QStringView scanText,
                           const std::vector<PhraseOccurrence>& occurrences,
                           qsizetype position,
                           const CaptionNumbers& numbers)
{
    QStringList tips;
    for (const PhraseOccurrence& occurrence : occurrences) {
        if (occurrence.start > position)
            break;
        if (occurrence.start + occurrence.length > position)
            tips << aboutOccurrenceIn(table, scanText, occurrences, occurrence, numbers);
    }
    return tips.join(Separator);
}

QString aboutPhraseIn(const PhraseTable& table,
                      QStringView scanText,
                      const std::vector<PhraseOccurrence>& occurrences,
                      qsizetype phraseIndex,
                      const CaptionNumbers& numbers)
{
    const PhraseCount count = countPhrase(table, scanText, occurrences, phraseIndex);
    return aboutPhrase(table.at(phraseIndex), qsizetype(count.starts.size()), count.countedTotal, numbers);
}

} // namespace PhraseToolTip
