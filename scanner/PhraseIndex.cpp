#include "scanner/PhraseIndex.h"

#include <numeric>
#include <utility>

namespace {

// Whether every unit of `phrase` folds to one of the letters a to z, as each unit of a text in capitals does.
bool foldsToLettersOnly(QStringView phrase)
{
    for (qsizetype i = 0; i < phrase.size(); ++i) {
        const char32_t folded = CaseFolding::foldedAt(phrase.utf16(), i);
        if (folded < U'a' || folded > U'z')
            return false;
    }
    return true;
}

} // namespace

PhraseIndex::PhraseIndex(PhraseTable table)
    : m_table(std::move(table))
    , m_entries(std::size_t(m_table.size()))
{
    std::vector<std::u32string> patterns;
    std::vector<qsizetype> patternEntry;
    for (qsizetype index = 0; index < m_table.size(); ++index) {
        const QString& phrase = m_table.at(index).phrase;
        m_entries[std::size_t(index)].mayBeInCapitals = foldsToLettersOnly(phrase);
        if (phrase.isEmpty())
            continue;
        if (CaseFolding::needsPlainSearch(phrase)) {
            m_plainEntries.push_back(index);
            continue;
        }
        patterns.push_back(CaseFolding::folded(phrase));
        m_entries[std::size_t(index)].hasLineBreak = phrase.contains(u'\r') || phrase.contains(u'\n');
        patternEntry.push_back(index);
    }
    m_automaton = PhraseAutomaton(std::move(patterns));

    m_patternEntryBegin.assign(std::size_t(m_automaton.patternCount()) + 1, 0);
    for (std::size_t i = 0; i < patternEntry.size(); ++i) {
        const std::int32_t pattern = m_automaton.patternOf(i);
        m_entries[std::size_t(patternEntry[i])].pattern = pattern;
        ++m_patternEntryBegin[std::size_t(pattern) + 1];
    }
    std::partial_sum(m_patternEntryBegin.begin(), m_patternEntryBegin.end(), m_patternEntryBegin.begin());
    m_patternEntries.resize(patternEntry.size());
    std::vector<std::uint32_t> filled(m_patternEntryBegin.begin(), m_patternEntryBegin.end() - 1);
    for (std::size_t i = 0; i < patternEntry.size(); ++i)
        m_patternEntries[filled[std::size_t(m_automaton.patternOf(i))]++] = std::uint32_t(patternEntry[i]);

    for (char16_t unit = 0; unit < char16_t(m_asciiUnits.size()); ++unit) {
        const char32_t folded = CaseFolding::foldedAt(&unit, 0);
        m_asciiUnits[unit] = {folded, m_automaton.symbolOf(folded)};
    }
}
