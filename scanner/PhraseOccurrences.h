#pragma once

#include "scanner/Occurrence.h"
#include "scanner/PhraseAutomaton.h"
#include "scanner/PhraseTable.h"

#include <QStringList>
#include <QStringView>

#include <array>
#include <cstdint>
#include <vector>

// Every occurrence of every trigger phrase of a table in a text, found as the scan finds them: the phrases'
// automaton over the folded text, and QString's case-insensitive search for the few phrases the automaton
// leaves to it. Unlike a scan, it lists all of them: overlapping ones, ones inside words and ones beyond
// those a scan counts, each saying whether a scan without Step Through counts it.
class PhraseOccurrences
{
public:
    explicit PhraseOccurrences(const PhraseTable& table);

    // Every occurrence in `scanText`, ordered by position, then by phrase index.
    std::vector<Occurrence> findAll(QStringView scanText) const;

private:
    PhraseTable m_table;
    PhraseAutomaton m_automaton;
    // The folded form and symbol of each ASCII unit, which most texts consist of.
    struct AsciiUnit
    {
        char32_t folded = 0;
        std::uint32_t symbol = 0;
    };
    std::array<AsciiUnit, 0x80> m_asciiUnits;
    // The table entries of pattern p: m_patternEntries[m_patternEntryBegin[p] .. m_patternEntryBegin[p+1]).
    std::vector<qsizetype> m_patternEntryBegin;
    std::vector<qsizetype> m_patternEntries;
    QStringList m_plainPhrases;
    std::vector<qsizetype> m_plainEntries;
};
