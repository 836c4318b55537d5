#include "scanner/PhraseOccurrences.h"

#include "scanner/CaseFolding.h"
#include "scanner/OccurrenceRule.h"
#include "scanner/PhraseTable.h"

#include <algorithm>
#include <numeric>

PhraseOccurrences::PhraseOccurrences(const PhraseTable& table)
    : m_table(table)
{
    std::vector<std::u32string> patterns;
    std::vector<qsizetype> patternEntry;
    for (qsizetype index = 0; index < table.size(); ++index) {
        const QString& phrase = table.at(index).phrase;
        if (phrase.isEmpty())
            continue;
        if (CaseFolding::needsPlainSearch(phrase)) {
            m_plainPhrases.append(phrase);
            m_plainEntries.push_back(index);
            continue;
        }
        patterns.push_back(CaseFolding::folded(phrase));
        patternEntry.push_back(index);
    }
    m_automaton = PhraseAutomaton(patterns);
    m_patternEntryBegin.assign(size_t(m_automaton.patternCount()) + 1, 0);
    for (size_t i = 0; i < patterns.size(); ++i)
        ++m_patternEntryBegin[size_t(m_automaton.patternOf(i)) + 1];
    std::partial_sum(m_patternEntryBegin.begin(), m_patternEntryBegin.end(), m_patternEntryBegin.begin());
    m_patternEntries.resize(patterns.size());
    std::vector<qsizetype> filled(m_patternEntryBegin.begin(), m_patternEntryBegin.end() - 1);
    for (size_t i = 0; i < patterns.size(); ++i)
        m_patternEntries[size_t(filled[size_t(m_automaton.patternOf(i))]++)] = patternEntry[i];
    for (char16_t unit = 0; unit < char16_t(m_asciiUnits.size()); ++unit) {
        const char32_t folded = CaseFolding::foldedAt(&unit, 0);
        m_asciiUnits[unit] = {folded, m_automaton.symbolOf(folded)};
    }
}

std::vector<Occurrence> PhraseOccurrences::findAll(QStringView scanText) const
{
    struct Found
    {
        qsizetype index;
        qsizetype start;
    };
    std::vector<Found> found;
    if (m_automaton.patternCount() > 0) {
        const char16_t* units = scanText.utf16();
        PhraseAutomaton::Position position = PhraseAutomaton::Start;
        for (qsizetype i = 0; i < scanText.size(); ++i) {
            const char16_t unit = units[i];
            if (unit < m_asciiUnits.size())
                position = m_automaton.next(position, m_asciiUnits[unit].folded, m_asciiUnits[unit].symbol);
            else
                position = m_automaton.next(position, CaseFolding::foldedNonAscii(units, i));
            if (!PhraseAutomaton::mayEndPatterns(position))
                continue;
            m_automaton.reportEveryEndingAt(
                PhraseAutomaton::nodeAt(position), size_t(i), [&](std::int32_t pattern, std::size_t start) {
                    const auto p = size_t(pattern);
                    for (qsizetype e = m_patternEntryBegin[p]; e < m_patternEntryBegin[p + 1]; ++e)
                        found.push_back({m_patternEntries[size_t(e)], qsizetype(start)});
                });
        }
    }
    for (qsizetype i = 0; i < m_plainPhrases.size(); ++i) {
        const QString& phrase = m_plainPhrases.at(i);
        for (qsizetype at = scanText.indexOf(phrase, 0, Qt::CaseInsensitive); at >= 0;
             at = scanText.indexOf(phrase, at + 1, Qt::CaseInsensitive))
            found.push_back({m_plainEntries[size_t(i)], at});
    }
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        return a.start != b.start ? a.start < b.start : a.index < b.index;
    });
    // Which a scan counts, phrase by phrase, in the order of the text.
    std::vector<OccurrenceRule> rules(size_t(m_table.size()));
    std::vector<Occurrence> occurrences;
    occurrences.reserve(found.size());
    for (const Found& f : found) {
        const TriggerPhrase& entry = m_table.at(f.index);
        const bool counts = rules[size_t(f.index)].counts(scanText, f.start, entry.phrase.size());
        occurrences.push_back(Occurrence::of(entry, f.index, scanText, f.start, counts));
    }
    return occurrences;
}
