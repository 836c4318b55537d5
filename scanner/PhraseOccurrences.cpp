#include "scanner/PhraseOccurrences.h"

#include "scanner/OccurrenceRule.h"

#include <algorithm>
#include <utility>

PhraseOccurrences::PhraseOccurrences(std::shared_ptr<const PhraseIndex> index)
    : m_index(std::move(index))
{
}

std::vector<Occurrence> PhraseOccurrences::findAll(QStringView scanText) const
{
    struct Found
    {
        qsizetype index;
        qsizetype start;
    };
    const PhraseIndex& index = *m_index;
    const PhraseTable& table = index.table();
    const PhraseAutomaton& automaton = index.automaton();
    std::vector<Found> found;
    if (automaton.patternCount() > 0) {
        const char16_t* units = scanText.utf16();
        PhraseAutomaton::Position position = PhraseAutomaton::Start;
        for (qsizetype i = 0; i < scanText.size(); ++i) {
            position = index.step(position, units, i);
            if (!PhraseAutomaton::mayEndPatterns(position))
                continue;
            automaton.reportEveryEndingAt(PhraseAutomaton::nodeAt(position), size_t(i),
                                          [&](std::int32_t pattern, std::size_t start) {
                                              for (const std::uint32_t entry : index.entriesOf(pattern))
                                                  found.push_back({qsizetype(entry), qsizetype(start)});
                                          });
        }
    }
    for (const qsizetype entry : index.plainEntries()) {
        const QString& phrase = table.at(entry).phrase;
        for (qsizetype at = scanText.indexOf(phrase, 0, Qt::CaseInsensitive); at >= 0;
             at = scanText.indexOf(phrase, at + 1, Qt::CaseInsensitive))
            found.push_back({entry, at});
    }
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        return a.start != b.start ? a.start < b.start : a.index < b.index;
    });
    // Which a scan counts, phrase by phrase, in the order of the text.
    std::vector<OccurrenceRule> rules(size_t(table.size()));
    std::vector<Occurrence> occurrences;
    occurrences.reserve(found.size());
    for (const Found& f : found) {
        const TriggerPhrase& entry = table.at(f.index);
        const bool counts = rules[size_t(f.index)].counts(scanText, f.start, entry.phrase.size());
        occurrences.push_back(
            Occurrence::of(entry, f.index, f.start, index.isInCapitals(f.index, scanText, f.start), counts));
    }
    return occurrences;
}
