#pragma once

#include "scanner/PhraseIndex.h"
#include "scanner/PhraseSearch.h"

#include <QStringList>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

// The scan's searches answered from one pass over the text, folded as it is read: the automaton of the
// table's phrases (the PhraseIndex, built once per definitions load) reports each phrase's first occurrence, and at
// every unit followed by a space the phrases ending there that also follow a space. Phrases it did not meet are no
// candidates, and a phrase's handled occurrences come from what the pass kept.
// Questions beyond that (Step Through resuming far into a text) search the folded text for that one
// phrase. Answers are those of QString's case-insensitive search.
class FastSearch final : public PhraseSearch
{
public:
    explicit FastSearch(std::shared_ptr<const PhraseIndex> index);
    ~FastSearch() override;

    void setText(const QString& scanText) override;
    qsizetype nextCandidate(qsizetype index) override;
    qsizetype findFirst(qsizetype index, qsizetype from) override;
    qsizetype findPadded(qsizetype index, qsizetype from) override;
    int handledOccurrences(qsizetype index, HandledStarts& phraseStarts) override;
    void keepEveryOccurrence() override;
    bool listContains(qsizetype index, const PhraseList& list) override;

private:
    // A scan without Step Through asks for the padded occurrences after the first occurrence, eleven times
    // at most (the last answer is not used); two padded occurrences may begin before those: the one whose
    // phrase is the first occurrence, and one that begins at it.
    static constexpr int KeptPadded = 13;
    // The walk's lanes share a block of this many units; the ends they find wait in a buffer of that size.
    static constexpr qsizetype LaneBlock = 8192;

    // What the walk found of one pattern, side by side, as a scan asks for both.
    struct PatternAnswers
    {
        qsizetype first = -1;
        // Its place in m_padded, or -1 without padded occurrences.
        std::int32_t paddedSlot = -1;
    };
    // One pattern's padded occurrences, the count beside the first starts, where a scan reads them.
    struct alignas(64) PaddedHits
    {
        std::int32_t pattern = 0;
        int count = 0;
        std::array<qsizetype, KeptPadded> starts;
    };

    struct LaneEnd
    {
        qsizetype end;
        std::int32_t node;
    };

    const QString& phraseOf(qsizetype index) const { return m_index->table().at(index).phrase; }
    // Walks the text in lanes, reporting every end in the order of the text.
    void walkText(const char16_t* units, qsizetype size);
    // Walks units [block, blockEnd) in `Lanes` lanes, from `position`; returns the position at its end.
    template <int Lanes>
    PhraseAutomaton::Position
    walkBlock(const char16_t* units, qsizetype block, qsizetype blockEnd, PhraseAutomaton::Position position);
    // Records what ends at unit `end`, in node `node`.
    void reportEnd(qsizetype end, std::int32_t node);
    // Keeps an occurrence of `pattern` with a space on both sides; false once enough are kept.
    bool reportPadded(std::int32_t pattern, std::size_t start);
    qsizetype searchFolded(QStringView phrase, qsizetype from);

    std::shared_ptr<const PhraseIndex> m_index;
    const PhraseAutomaton& m_automaton;
    // Per table entry, the padded form of the phrases that QString searches; empty for the others.
    QStringList m_paddedPhrases;
    // One bit per table entry that may occur in the text: the entries QString searches, and those whose
    // pattern the walk found.
    std::vector<std::uint64_t> m_plainSearched;
    std::vector<std::uint64_t> m_candidates;

    const QString* m_text = nullptr;
    // The folded text, once a search needed it; empty until then.
    std::vector<char32_t> m_folded;
    // Per pattern: its first occurrence, and its first occurrences with a space on both sides (their
    // leading spaces' positions). Each has a walk state of its own, as each retires patterns at its own time.
    PhraseAutomaton::WalkState m_firstWalk;
    PhraseAutomaton::WalkState m_paddedWalk;
    std::vector<PatternAnswers> m_answers;
    // The padded occurrences of the patterns that have any, close together in the order first found.
    std::vector<PaddedHits> m_padded;
    std::vector<std::int32_t> m_found;
    std::vector<LaneEnd> m_laneEnds;

    // Every occurrence of each pattern in the text, for Step Through: the starts of pattern p are
    // m_everyStart[m_everyBegin[p] .. m_everyBegin[p+1]). Kept once a Step Through stops, unless the text
    // holds too many occurrences to keep; those are then searched for.
    enum class EveryOccurrence
    {
        NotAsked,
        Kept,
        TooMany
    };
    EveryOccurrence m_every = EveryOccurrence::NotAsked;
    std::vector<std::uint32_t> m_everyBegin;
    std::vector<std::uint32_t> m_everyStart;

    // The part of the phrase list already walked (its entries and its text), and the patterns found in it.
    std::uint64_t m_listClears = 0;
    std::size_t m_listEntriesWalked = 0;
    qsizetype m_listWalked = 0;
    PhraseAutomaton::WalkState m_listWalk;
    std::vector<std::uint8_t> m_listed;
    std::vector<char32_t> m_foldedList;
};
