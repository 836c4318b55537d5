#include "scanner/PhraseOccurrences.h"

#include "scanner/CaseFolding.h"
#include "scanner/OccurrenceRule.h"
#include "scanner/PhraseTable.h"

#include <algorithm>
#include <numeric>
#include <utility>

PhraseOccurrences::PhraseOccurrences(const PhraseTable& table)
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
    m_automaton = PhraseAutomaton(std::move(patterns));
    m_patternEntryBegin.assign(size_t(m_automaton.patternCount()) + 1, 0);
    for (size_t i = 0; i < patternEntry.size(); ++i)
        ++m_patternEntryBegin[size_t(m_automaton.patternOf(i)) + 1];
    std::partial_sum(m_patternEntryBegin.begin(), m_patternEntryBegin.end(), m_patternEntryBegin.begin());
    m_patternEntries.resize(patternEntry.size());
    std::vector<qsizetype> filled(m_patternEntryBegin.begin(), m_patternEntryBegin.end() - 1);
    for (size_t i = 0; i < patternEntry.size(); ++i)
        m_patternEntries[size_t(filled[size_t(m_automaton.patternOf(i))]++)] = patternEntry[i];
    for (char16_t unit = 0; unit < char16_t(m_asciiUnits.size()); ++unit) {
        const char32_t folded = CaseFolding::foldedAt(&unit, 0);
        m_asciiUnits[unit] = {folded, m_automaton.symbolOf(folded)};
    }
}

std::vector<PhraseOccurrence> PhraseOccurrences::findAll(QStringView text) const
{
    std::vector<PhraseOccurrence> found;
    if (m_automaton.patternCount() > 0) {
        const char16_t* units = text.utf16();
        PhraseAutomaton::Position position = PhraseAutomaton::Start;
        for (qsizetype i = 0; i < text.size(); ++i) {
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
                    const qsizetype length = i + 1 - qsizetype(start);
                    for (qsizetype e = m_patternEntryBegin[p]; e < m_patternEntryBegin[p + 1]; ++e)
                        found.push_back({m_patternEntries[size_t(e)], qsizetype(start), length});
                });
        }
    }
    for (qsizetype i = 0; i < m_plainPhrases.size(); ++i) {
        const QString& phrase = m_plainPhrases.at(i);
        for (qsizetype at = text.indexOf(phrase, 0, Qt::CaseInsensitive); at >= 0;
             at = text.indexOf(phrase, at + 1, Qt::CaseInsensitive))
            found.push_back({m_plainEntries[size_t(i)], at, phrase.size()});
    }
    std::sort(found.begin(), found.end(), [](const PhraseOccurrence& a, const PhraseOccurrence& b) {
        return a.start != b.start ? a.start < b.start : a.phraseIndex < b.phraseIndex;
    });
    return found;
}

std::vector<bool> countedByScan(QStringView scanText, qsizetype phraseLength, const std::vector<qsizetype>& starts)
{
    std::vector<bool> counted(starts.size(), false);
    const auto isPadded = [&](qsizetype start) {
        return start > 0 && scanText.at(start - 1) == u' ' && start + phraseLength < scanText.size()
            && scanText.at(start + phraseLength) == u' ';
    };
    OccurrenceRule rule;
    // 1-based, as the scan keeps it; 0 when no further occurrence counts.
    qsizetype matchPos = starts.empty() ? 0 : starts.front() + 1;
    size_t next = 0;
    while (matchPos > 0) {
        const qsizetype start = rule.phraseStart(matchPos) - 1;
        next = size_t(std::lower_bound(starts.begin() + qsizetype(next), starts.end(), start) - starts.begin());
        counted[next] = true;
        if (!rule.handle())
            break;
        // The next match is a space, the phrase and a space from the 1-based position after this match's.
        const auto padded = std::find_if(starts.begin() + qsizetype(next) + 1, starts.end(),
                                         [&](qsizetype s) { return s - 1 >= matchPos && isPadded(s); });
        matchPos = padded == starts.end() ? 0 : *padded;
    }
    return counted;
}
