#pragma once

#include "scanner/CapitalsRule.h"
#include "scanner/CaseFolding.h"
#include "scanner/PhraseAutomaton.h"
#include "scanner/PhraseTable.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

// The phrases of one definitions table made ready to be searched for, once per load: the automaton of their
// folded forms, which pattern each table entry is and which entries each pattern stands for, and the
// phrases that QString's own search takes instead. The scan's walk and the listing of every occurrence share
// one index, which does not change once built.
class PhraseIndex
{
public:
    explicit PhraseIndex(PhraseTable table);

    const PhraseTable& table() const { return m_table; }
    const PhraseAutomaton& automaton() const { return m_automaton; }

    // The automaton's pattern of table entry `index`; -1 for the empty entry and for a phrase that QString
    // searches.
    std::int32_t patternOf(qsizetype index) const { return m_entries[std::size_t(index)].pattern; }
    // Whether the phrase of table entry `index` holds a line end.
    bool hasLineBreak(qsizetype index) const { return m_entries[std::size_t(index)].hasLineBreak; }
    // Whether the occurrence of table entry `index` at 0-based `offset` of `scanText` is written in capitals.
    // Only a phrase whose every unit folds to a letter a to z can be: the occurrences of a phrase with a space,
    // a digit or any other character are not read again.
    bool isInCapitals(qsizetype index, QStringView scanText, qsizetype offset) const
    {
        return m_entries[std::size_t(index)].mayBeInCapitals
            && CapitalsRule::isAllCaps(scanText.sliced(offset, m_table.at(index).phrase.size()));
    }
    // The table entries that `pattern` stands for, in table order.
    std::span<const std::uint32_t> entriesOf(std::int32_t pattern) const
    {
        const std::uint32_t begin = m_patternEntryBegin[std::size_t(pattern)];
        return {m_patternEntries.data() + begin, m_patternEntryBegin[std::size_t(pattern) + 1] - begin};
    }
    // The entries of the phrases that QString searches, in table order: those whose folded form the
    // automaton's walk would not compare as QString's search does (CaseFolding::needsPlainSearch).
    const std::vector<qsizetype>& plainEntries() const { return m_plainEntries; }

    // A walk's position after reading unit `i` of `units`, folded as it is read.
    PhraseAutomaton::Position step(PhraseAutomaton::Position position, const char16_t* units, qsizetype i) const
    {
        const char16_t unit = units[i];
        if (unit < m_asciiUnits.size()) {
            const AsciiUnit& ascii = m_asciiUnits[unit];
            return m_automaton.next(position, ascii.folded, ascii.symbol);
        }
        return m_automaton.next(position, CaseFolding::foldedNonAscii(units, i));
    }

private:
    struct Entry
    {
        std::int32_t pattern = -1;
        // The phrase list cannot be walked phrase by phrase for a phrase that spans its line ends.
        bool hasLineBreak = false;
        bool mayBeInCapitals = true;
    };
    // An ASCII unit's folded form and its symbol, read by the walk from one small table.
    struct AsciiUnit
    {
        char32_t folded = 0;
        std::uint32_t symbol = 0;
    };

    PhraseTable m_table;
    std::vector<Entry> m_entries;
    PhraseAutomaton m_automaton;
    std::array<AsciiUnit, 0x80> m_asciiUnits;
    // The table entries of pattern p: m_patternEntries[m_patternEntryBegin[p] .. m_patternEntryBegin[p+1]).
    std::vector<std::uint32_t> m_patternEntryBegin;
    std::vector<std::uint32_t> m_patternEntries;
    std::vector<qsizetype> m_plainEntries;
};
