#pragma once

#include "scanner/PhraseAutomaton.h"

#include <QStringList>
#include <QStringView>

#include <array>
#include <cstdint>
#include <vector>

class PhraseTable;

// One occurrence of a trigger phrase in a text; positions are 0-based.
struct PhraseOccurrence
{
    qsizetype phraseIndex = 0;
    qsizetype start = 0;
    qsizetype length = 0;

    friend bool operator==(const PhraseOccurrence&, const PhraseOccurrence&) = default;
};

// Every occurrence of every trigger phrase of a table in a text, found as the scan finds them: the phrases'
// automaton over the folded text, and QString's case-insensitive search for the few phrases the automaton
// leaves to it. Unlike a scan, it lists all of them: overlapping ones, ones inside words and ones beyond
// those a scan counts.
class PhraseOccurrences
{
public:
    explicit PhraseOccurrences(const PhraseTable& table);

    // Ordered by start, then by phrase index.
    std::vector<PhraseOccurrence> findAll(QStringView text) const;

private:
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

// Which of one phrase's occurrences (their 0-based starts in the scan text, ascending) a scan without Step
// Through counts, by the OccurrenceRule: the first, then each next one with a space on both sides.
std::vector<bool> countedByScan(QStringView scanText, qsizetype phraseLength, const std::vector<qsizetype>& starts);
