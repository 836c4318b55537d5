#pragma once

#include "PhraseAutomaton.h"
#include "PhraseSearch.h"

#include <QStringList>

#include <array>
#include <cstdint>
#include <vector>

class PhraseTable;

// The scan's searches answered from one pass over the folded text: the automaton of the table's phrases,
// built once per table, reports each phrase's first occurrence, and at every unit followed by a space the
// phrases ending there that also follow a space.
// Questions beyond what the pass kept (Step Through resuming far into a text) search the folded text for
// that one phrase. Answers are those of QString's case-insensitive search.
class FastSearch final : public PhraseSearch
{
public:
    explicit FastSearch(const PhraseTable& table);
    ~FastSearch() override;

    void setText(const QString& scanText) override;
    qsizetype findFirst(qsizetype index, qsizetype from) override;
    qsizetype findPadded(qsizetype index, qsizetype from) override;
    bool listContains(qsizetype index, const QString& listText) override;

    const PhraseAutomaton& automaton() const { return m_automaton; }

private:
    // A scan without Step Through asks for the padded occurrences after the first occurrence, eleven times
    // at most (the last answer is not used); two padded occurrences may begin before those: the one whose
    // phrase is the first occurrence, and one that begins at it.
    static constexpr int KeptPadded = 13;

    struct Entry
    {
        // -1 for a phrase that QString itself searches (or the empty entry).
        std::int32_t pattern = -1;
        // The list test cannot go by single phrases when a phrase spans the list's line ends.
        bool hasLineBreak = false;
    };
    struct PaddedHits
    {
        std::array<qsizetype, KeptPadded> starts;
        int count = 0;
    };

    bool reportPadded(std::int32_t pattern, std::size_t start);
    qsizetype searchFolded(QStringView phrase, qsizetype from) const;

    QStringList m_phrases;
    QStringList m_paddedPhrases;
    std::vector<Entry> m_entries;
    PhraseAutomaton m_automaton;

    const QString* m_text = nullptr;
    std::vector<char32_t> m_folded;
    // Per pattern: its first occurrence, and its first occurrences with a space on both sides (their
    // leading spaces' positions). Each has a walk state of its own, as each retires patterns at its own time.
    PhraseAutomaton::WalkState m_firstWalk;
    PhraseAutomaton::WalkState m_paddedWalk;
    std::vector<qsizetype> m_first;
    std::vector<PaddedHits> m_padded;
    std::vector<std::int32_t> m_found;

    // The part of the phrase list already walked, and the patterns found in it.
    qsizetype m_listWalked = 0;
    PhraseAutomaton::WalkState m_listWalk;
    std::vector<std::uint8_t> m_listed;
    std::vector<char32_t> m_foldedList;
};
