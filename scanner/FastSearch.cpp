#include "scanner/FastSearch.h"

#include "scanner/CaseFolding.h"
#include "scanner/PhraseList.h"

#include <algorithm>
#include <bit>
#include <functional>
#include <limits>
#include <numeric>
#include <utility>

FastSearch::FastSearch(std::shared_ptr<const PhraseIndex> index)
    : m_index(std::move(index))
    , m_automaton(m_index->automaton())
{
    const PhraseTable& table = m_index->table();
    m_plainSearched.assign(std::size_t(table.size() + 63) / 64, 0);
    m_paddedPhrases.resize(table.size());
    // Only the phrases that QString searches keep their padded form: for a table of long phrases the copies
    // would be as large as the table itself.
    for (const qsizetype entry : m_index->plainEntries()) {
        m_plainSearched[std::size_t(entry) / 64] |= std::uint64_t(1) << (entry % 64);
        m_paddedPhrases[entry] = u' ' + table.at(entry).phrase + u' ';
    }
    // An empty phrase is QString's to search too: padded, it is two spaces.
    for (qsizetype entry = 0; entry < table.size(); ++entry) {
        if (table.at(entry).phrase.isEmpty())
            m_paddedPhrases[entry] = QStringLiteral("  ");
    }
    m_answers.resize(std::size_t(m_automaton.patternCount()));
}

FastSearch::~FastSearch() = default;

void FastSearch::walkText(const char16_t* units, qsizetype size)
{
    // A walk waits on one table look-up per unit. Lanes walking parts of a block at once overlap their
    // waits; each lane after the first starts as long before its part as the longest phrase, so that it
    // stands where a single walk would when it gets there. Long phrases make that lead-in costly, and
    // fewer lanes then walk longer parts.
    const qsizetype leadIn = m_automaton.longestPattern() - 1;
    PhraseAutomaton::Position position = PhraseAutomaton::Start;
    m_laneEnds.resize(LaneBlock);
    for (qsizetype block = 0; block < size; block += LaneBlock) {
        const qsizetype blockEnd = std::min(size, block + LaneBlock);
        const qsizetype length = blockEnd - block;
        if (64 * leadIn <= length)
            position = walkBlock<8>(units, block, blockEnd, position);
        else if (32 * leadIn <= length)
            position = walkBlock<4>(units, block, blockEnd, position);
        else if (8 * leadIn <= length)
            position = walkBlock<2>(units, block, blockEnd, position);
        else
            position = walkBlock<1>(units, block, blockEnd, position);
    }
}

template <int Lanes>
PhraseAutomaton::Position
FastSearch::walkBlock(const char16_t* units, qsizetype block, qsizetype blockEnd, PhraseAutomaton::Position position)
{
    // Every lane keeps its ends in the block's buffer, asking for their nodes' reports on the way, and the
    // ends are reported after the block in the order of the text: by then the reports are near the
    // processor. The index and its automaton are held in locals, so that the walk reads their tables
    // without going through this object's pointers at every unit.
    const PhraseIndex& index = *m_index;
    const PhraseAutomaton& automaton = index.automaton();
    const qsizetype leadIn = automaton.longestPattern() - 1;
    const qsizetype laneLength = (blockEnd - block) / Lanes;
    std::array<PhraseAutomaton::Position, Lanes> lanes;
    std::array<LaneEnd*, Lanes> ends;
    lanes[0] = position;
    for (int lane = 0; lane < Lanes; ++lane) {
        const qsizetype from = block + lane * laneLength;
        ends[size_t(lane)] = m_laneEnds.data() + (from - block);
        if (lane == 0)
            continue;
        lanes[size_t(lane)] = PhraseAutomaton::Start;
        for (qsizetype i = from - leadIn; i < from; ++i)
            lanes[size_t(lane)] = index.step(lanes[size_t(lane)], units, i);
    }
    const auto walkLane = [&](int lane, qsizetype i) {
        PhraseAutomaton::Position& at = lanes[size_t(lane)];
        at = index.step(at, units, i);
        if (PhraseAutomaton::mayEndPatterns(at)) {
            automaton.prefetchReports(PhraseAutomaton::nodeAt(at));
            *ends[size_t(lane)]++ = {i, PhraseAutomaton::nodeAt(at)};
        }
    };
    for (qsizetype i = block; i < block + laneLength; ++i) {
        for (int lane = 0; lane < Lanes; ++lane)
            walkLane(lane, i + lane * laneLength);
    }
    // The last lane also takes what is left when the block does not divide evenly.
    for (qsizetype i = block + Lanes * laneLength; i < blockEnd; ++i)
        walkLane(Lanes - 1, i);
    for (int lane = 0; lane < Lanes; ++lane) {
        for (const LaneEnd* end = m_laneEnds.data() + lane * laneLength; end != ends[size_t(lane)]; ++end)
            reportEnd(end->end, end->node);
    }
    return lanes[Lanes - 1];
}

void FastSearch::setText(const QString& scanText)
{
    m_text = &scanText;
    m_folded.clear();
    m_every = EveryOccurrence::NotAsked;
    m_everyBegin.clear();
    m_everyStart.clear();
    m_candidates = m_plainSearched;
    if (m_automaton.patternCount() == 0)
        return;
    // Only the patterns found in the last text have answers to forget.
    for (const std::int32_t pattern : m_found)
        m_answers[size_t(pattern)].first = -1;
    for (const PaddedHits& hits : m_padded)
        m_answers[size_t(hits.pattern)].paddedSlot = -1;
    m_padded.clear();
    m_found.clear();
    m_firstWalk.reset(m_automaton);
    m_paddedWalk.reset(m_automaton);

    const char16_t* units = QStringView(scanText).utf16();
    walkText(units, scanText.size());
    for (const std::int32_t pattern : m_found) {
        for (const std::uint32_t entry : m_index->entriesOf(pattern))
            m_candidates[entry / 64] |= std::uint64_t(1) << (entry % 64);
    }
}

void FastSearch::reportEnd(qsizetype end, std::int32_t node)
{
    if (m_firstWalk.mayReport(node)) {
        m_automaton.reportEndingAt(m_firstWalk, node, size_t(end), [this](std::int32_t pattern, std::size_t start) {
            m_answers[size_t(pattern)].first = qsizetype(start);
            m_found.push_back(pattern);
            return false;
        });
    }
    // Folding keeps spaces, and nothing else folds to a space, so the text's own units tell where they are.
    if (OccurrenceRule::isSpaceAt(*m_text, end + 1) && m_paddedWalk.mayReport(node)) {
        m_automaton.reportEndingAt(m_paddedWalk, node, size_t(end), [this](std::int32_t pattern, std::size_t start) {
            return reportPadded(pattern, start);
        });
    }
}

qsizetype FastSearch::nextCandidate(qsizetype index)
{
    const qsizetype count = m_index->table().size();
    if (index >= count)
        return count;
    size_t word = size_t(index) / 64;
    std::uint64_t bits = m_candidates[word] & (~std::uint64_t(0) << (index % 64));
    while (bits == 0) {
        if (++word == m_candidates.size())
            return count;
        bits = m_candidates[word];
    }
    return qsizetype(word * 64) + std::countr_zero(bits);
}

bool FastSearch::reportPadded(std::int32_t pattern, std::size_t start)
{
    // The space after it was asked for before it was reported.
    if (!OccurrenceRule::isSpaceAt(*m_text, qsizetype(start) - 1))
        return true;
    // Occurrences of one pattern arrive in the order of their starts.
    std::int32_t& slot = m_answers[size_t(pattern)].paddedSlot;
    if (slot < 0) {
        slot = std::int32_t(m_padded.size());
        m_padded.push_back(PaddedHits {pattern, 0, {}});
    }
    PaddedHits& hits = m_padded[size_t(slot)];
    hits.starts[size_t(hits.count++)] = qsizetype(start) - 1;
    return hits.count < KeptPadded;
}

qsizetype FastSearch::findFirst(qsizetype index, qsizetype from)
{
    const std::int32_t pattern = m_index->patternOf(index);
    if (pattern < 0)
        return m_text->indexOf(phraseOf(index), from, Qt::CaseInsensitive);
    const qsizetype first = m_answers[size_t(pattern)].first;
    if (first < 0 || first >= from)
        return first;
    if (m_every == EveryOccurrence::Kept) {
        const auto begin = m_everyStart.begin() + m_everyBegin[size_t(pattern)];
        const auto end = m_everyStart.begin() + m_everyBegin[size_t(pattern) + 1];
        const auto found
            = std::lower_bound(begin, end, from, [](std::uint32_t start, qsizetype f) { return start < f; });
        return found == end ? -1 : qsizetype(*found);
    }
    return searchFolded(phraseOf(index), from);
}

void FastSearch::keepEveryOccurrence()
{
    if (m_every != EveryOccurrence::NotAsked || m_automaton.patternCount() == 0)
        return;
    m_every = EveryOccurrence::TooMany;
    // Kept occurrences take at most about two bytes per unit of text; a text holding more (many nested
    // phrases over long runs of one letter) is searched phrase by phrase instead.
    const qsizetype size = m_text->size();
    const auto limit = std::size_t(size / 2 + 65536);
    if (size >= qsizetype(std::numeric_limits<std::uint32_t>::max()))
        return;
    struct Found
    {
        std::int32_t pattern;
        std::uint32_t start;
    };
    std::vector<Found> found;
    const char16_t* units = QStringView(*m_text).utf16();
    PhraseAutomaton::Position position = PhraseAutomaton::Start;
    for (qsizetype i = 0; i < size; ++i) {
        position = m_index->step(position, units, i);
        if (!PhraseAutomaton::mayEndPatterns(position))
            continue;
        m_automaton.reportEveryEndingAt(PhraseAutomaton::nodeAt(position), size_t(i),
                                        [&found](std::int32_t pattern, std::size_t start) {
                                            found.push_back({pattern, std::uint32_t(start)});
                                        });
        if (found.size() > limit)
            return;
    }
    // Grouped by pattern, each group in the order of the starts, as the walk found them.
    m_everyBegin.assign(size_t(m_automaton.patternCount()) + 1, 0);
    for (const Found& occurrence : found)
        ++m_everyBegin[size_t(occurrence.pattern) + 1];
    std::partial_sum(m_everyBegin.begin(), m_everyBegin.end(), m_everyBegin.begin());
    m_everyStart.resize(found.size());
    std::vector<std::uint32_t> filled(m_everyBegin.begin(), m_everyBegin.end() - 1);
    for (const Found& occurrence : found)
        m_everyStart[filled[size_t(occurrence.pattern)]++] = occurrence.start;
    m_every = EveryOccurrence::Kept;
}

qsizetype FastSearch::findPadded(qsizetype index, qsizetype from)
{
    const std::int32_t pattern = m_index->patternOf(index);
    if (pattern < 0)
        return m_text->indexOf(m_paddedPhrases.at(index), from, Qt::CaseInsensitive);
    const std::int32_t slot = m_answers[size_t(pattern)].paddedSlot;
    if (slot < 0)
        return -1;
    const PaddedHits& hits = m_padded[size_t(slot)];
    const auto kept = hits.starts.begin() + hits.count;
    const auto found = std::find_if(hits.starts.begin(), kept, [from](qsizetype start) { return start >= from; });
    if (found != kept)
        return *found;
    if (hits.count < KeptPadded)
        return -1;
    return searchFolded(u' ' + phraseOf(index) + u' ', from);
}

int FastSearch::handledOccurrences(qsizetype index, HandledStarts& phraseStarts)
{
    const std::int32_t pattern = m_index->patternOf(index);
    if (pattern < 0)
        return PhraseSearch::handledOccurrences(index, phraseStarts);
    const PatternAnswers& answers = m_answers[size_t(pattern)];
    if (answers.first < 0)
        return 0;
    OccurrenceRule rule;
    phraseStarts[0] = rule.phraseStart(answers.first + 1);
    rule.handle();
    if (answers.paddedSlot < 0)
        return rule.handled();
    // Each padded occurrence is the first after the one before, starting after the first occurrence:
    // the kept ones in order. The walk keeps enough for a whole phrase unless very few lie past the
    // first occurrence, which the questions one by one then answer.
    const PaddedHits& hits = m_padded[size_t(answers.paddedSlot)];
    for (int kept = 0; kept < hits.count && !rule.isComplete(); ++kept) {
        if (const qsizetype start = hits.starts[size_t(kept)]; start > answers.first) {
            phraseStarts[size_t(rule.handled())] = rule.phraseStart(start + 1);
            rule.handle();
        }
    }
    if (!rule.isComplete() && hits.count == KeptPadded)
        return PhraseSearch::handledOccurrences(index, phraseStarts);
    return rule.handled();
}

bool FastSearch::listContains(qsizetype index, const PhraseList& list)
{
    // The walk keeps up with the list at every call, also for the phrases it cannot answer.
    if (m_automaton.patternCount() > 0) {
        // A list met for the first time may hold entries appended for an earlier search.
        const bool firstLook = m_listed.empty();
        if (firstLook || list.clears() != m_listClears) {
            m_listClears = list.clears();
            m_listEntriesWalked = 0;
            m_listWalked = 0;
            m_listWalk.reset(m_automaton);
            m_listed.assign(size_t(m_automaton.patternCount()), 0);
        }
        // Every listed phrase ends with a line end, so a phrase without one lies within a single entry.
        const std::vector<qsizetype>& entries = list.entries();
        if (entries.size() > m_listEntriesWalked) {
            const auto note = [this](std::int32_t pattern) {
                m_listed[size_t(pattern)] = 1;
                return false;
            };
            const std::int32_t pattern = m_index->patternOf(entries.back());
            if (!firstLook && entries.size() == m_listEntriesWalked + 1 && pattern >= 0) {
                m_automaton.reportWithin(m_listWalk, pattern, note);
            } else {
                CaseFolding::fold(QStringView(list.text()).sliced(m_listWalked), m_foldedList);
                m_automaton.walk(m_foldedList.data(), m_foldedList.size(), m_listWalk,
                                 [&note](std::int32_t found, std::size_t) { return note(found); });
            }
            m_listEntriesWalked = entries.size();
            m_listWalked = list.text().size();
        }
    }
    const std::int32_t pattern = m_index->patternOf(index);
    return pattern < 0 || m_index->hasLineBreak(index) ? list.text().contains(phraseOf(index), Qt::CaseInsensitive)
                                                       : m_listed[size_t(pattern)] != 0;
}

qsizetype FastSearch::searchFolded(QStringView phrase, qsizetype from)
{
    // Only a Step Through resumed far into a text asks beyond what the walk kept; fold the text then.
    if (m_folded.empty())
        CaseFolding::fold(*m_text, m_folded);
    if (from > qsizetype(m_folded.size()))
        return -1;
    const std::u32string pattern = CaseFolding::folded(phrase);
    const auto begin = m_folded.begin() + from;
    const auto found
        = std::search(begin, m_folded.end(), std::boyer_moore_horspool_searcher(pattern.begin(), pattern.end()));
    return found == m_folded.end() ? -1 : qsizetype(found - m_folded.begin());
}
