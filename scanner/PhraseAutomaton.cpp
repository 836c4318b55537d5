#include "scanner/PhraseAutomaton.h"

#include <algorithm>
#include <bit>
#include <limits>
#include <numeric>

void PhraseAutomaton::WalkState::reset(const PhraseAutomaton& automaton)
{
    if (m_automaton != &automaton || m_retired.size() != automaton.m_patternSuffix.size()) {
        m_automaton = &automaton;
        m_retired.assign(automaton.m_patternSuffix.size(), 0);
        m_nextReporting = automaton.m_patternSuffix;
    } else {
        for (const std::int32_t pattern : m_retiredPatterns)
            m_retired[std::size_t(pattern)] = 0;
        for (const std::int32_t pattern : m_linkedPatterns)
            m_nextReporting[std::size_t(pattern)] = automaton.m_patternSuffix[std::size_t(pattern)];
    }
    m_retiredPatterns.clear();
    m_linkedPatterns.clear();
}

void PhraseAutomaton::WalkState::retire(std::int32_t pattern)
{
    m_retired[std::size_t(pattern)] = 1;
    m_retiredPatterns.push_back(pattern);
}

void PhraseAutomaton::WalkState::link(std::int32_t pattern, std::int32_t below)
{
    std::int32_t& current = m_nextReporting[std::size_t(pattern)];
    if (current == below)
        return;
    if (current == m_automaton->m_patternSuffix[std::size_t(pattern)])
        m_linkedPatterns.push_back(pattern);
    current = below;
}

PhraseAutomaton::PhraseAutomaton(std::vector<std::u32string> patterns)
    : m_patternOf(patterns.size(), -1)
{
    buildTrie(patterns);
    // The trie holds every unit of the patterns now. For very long patterns their copy is a seventh of
    // the automaton; given back before the next stage, it is never held beside the whole automaton.
    std::vector<std::u32string>().swap(patterns);
    indexEdges();
    numberPatternsInInputOrder();
    buildSymbolMap();
    buildFailureLinks();
}

void PhraseAutomaton::buildTrie(const std::vector<std::u32string>& patterns)
{
    // Sorted, the patterns that share a prefix lie together, and the nodes of one depth come in the order
    // of their parents, then of their units: breadth-first order, which gives the nodes nearest the root,
    // where a walk spends most of its time, the rows of the transition table. So the trie is built one
    // depth at a time, each pattern longer than the depth standing on the node of its prefix; nothing
    // needs renumbering, and building takes no more memory than the trie itself.
    std::vector<std::size_t> order(patterns.size());
    std::iota(order.begin(), order.end(), std::size_t(0));
    std::sort(order.begin(), order.end(), [&patterns](std::size_t a, std::size_t b) {
        return patterns[a] != patterns[b] ? patterns[a] < patterns[b] : a < b;
    });
    // Each pattern's units are read one depth at a time, from patterns spread over memory. They are copied
    // a block of depths at a time into columns, one per depth, so that each pattern's memory is visited
    // once per block rather than once per depth.
    struct Standing
    {
        const char32_t* units;
        std::uint32_t length;
        std::int32_t node;
        std::size_t pattern;
        std::size_t column;
    };
    std::vector<Standing> standing;
    std::size_t units = 0;
    for (const std::size_t index : order) {
        const std::u32string& pattern = patterns[index];
        if (!pattern.empty())
            standing.push_back({pattern.data(), std::uint32_t(pattern.size()), 0, index, 0});
        units += pattern.size();
    }
    m_parent.reserve(units + 1);
    m_reports.reserve(units + 1);
    m_edges.reserve(units);
    m_parent.push_back(-1);
    m_reports.push_back({});
    constexpr std::size_t BlockDepths = 16;
    std::vector<char32_t> columns;
    std::size_t columnHeight = 0;
    for (std::size_t depth = 0; !standing.empty(); ++depth) {
        if (depth % BlockDepths == 0) {
            columnHeight = standing.size();
            columns.resize(BlockDepths * columnHeight);
            for (std::size_t i = 0; i < standing.size(); ++i) {
                Standing& at = standing[i];
                at.column = i;
                const std::size_t copied = std::min<std::size_t>(BlockDepths, at.length - depth);
                for (std::size_t k = 0; k < copied; ++k)
                    columns[k * columnHeight + i] = at.units[depth + k];
            }
        }
        const char32_t* column = columns.data() + depth % BlockDepths * columnHeight;
        std::int32_t lastParent = -1;
        char32_t lastUnit = 0;
        std::size_t longer = 0;
        for (Standing at : standing) {
            const char32_t unit = column[at.column];
            if (at.node != lastParent || unit != lastUnit) {
                lastParent = at.node;
                lastUnit = unit;
                m_edges.push_back({unit, 0});
                m_parent.push_back(at.node);
                m_reports.push_back({});
            }
            at.node = std::int32_t(m_parent.size() - 1);
            if (at.length > depth + 1) {
                standing[longer++] = at;
                continue;
            }
            std::int32_t& nodePattern = m_reports[std::size_t(at.node)].pattern;
            if (nodePattern < 0) {
                nodePattern = std::int32_t(m_patternNode.size());
                m_patternNode.push_back(at.node);
                m_patternLength.push_back(std::int32_t(depth + 1));
            }
            m_patternOf[at.pattern] = nodePattern;
        }
        standing.resize(longer);
        m_longestPattern = std::int32_t(depth + 1);
    }
    // Patterns that share prefixes leave room over; long ones little, not worth a copy.
    if (m_parent.size() < m_parent.capacity() / 8 * 7) {
        m_parent.shrink_to_fit();
        m_reports.shrink_to_fit();
        m_edges.shrink_to_fit();
    }
}

void PhraseAutomaton::indexEdges()
{
    // A node's children are the nodes numbered after its edges, and they follow their parents in order.
    const std::size_t nodes = m_parent.size();
    m_links.assign(nodes + 1, NodeLinks {});
    std::size_t child = 1;
    for (std::size_t node = 0; node < nodes; ++node) {
        m_links[node].edgeBegin = std::uint32_t(child - 1);
        while (child < nodes && m_parent[child] == std::int32_t(node))
            ++child;
    }
    m_links[nodes].edgeBegin = std::uint32_t(nodes - 1);
}

void PhraseAutomaton::numberPatternsInInputOrder()
{
    std::vector<std::int32_t> renumbered(m_patternNode.size(), -1);
    std::int32_t count = 0;
    for (const std::int32_t pattern : m_patternOf) {
        if (pattern >= 0 && renumbered[std::size_t(pattern)] < 0)
            renumbered[std::size_t(pattern)] = count++;
    }
    const auto renumber = [&renumbered](std::int32_t& pattern) {
        if (pattern >= 0)
            pattern = renumbered[std::size_t(pattern)];
    };
    std::for_each(m_patternOf.begin(), m_patternOf.end(), renumber);
    for (const std::int32_t node : m_patternNode)
        renumber(m_reports[std::size_t(node)].pattern);
    std::vector<std::int32_t> patternNode(m_patternNode.size());
    std::vector<std::int32_t> patternLength(m_patternLength.size());
    for (std::size_t pattern = 0; pattern < m_patternNode.size(); ++pattern) {
        patternNode[std::size_t(renumbered[pattern])] = m_patternNode[pattern];
        patternLength[std::size_t(renumbered[pattern])] = m_patternLength[pattern];
    }
    m_patternNode = std::move(patternNode);
    m_patternLength = std::move(patternLength);
}

void PhraseAutomaton::buildSymbolMap()
{
    // One symbol per unit that occurs in a pattern, in the order of the units: marked in a bit per code
    // point up to the highest one, then read back a word of bits at a time.
    char32_t highest = 0;
    for (const EdgeTo& edge : m_edges)
        highest = std::max(highest, edge.unit);
    std::vector<std::uint64_t> occurs(highest / 64 + 1, 0);
    for (const EdgeTo& edge : m_edges)
        occurs[edge.unit / 64] |= std::uint64_t(1) << (edge.unit % 64);
    std::vector<char32_t> units;
    for (std::size_t word = 0; word < occurs.size(); ++word) {
        for (std::uint64_t bits = occurs[word]; bits != 0; bits &= bits - 1)
            units.push_back(char32_t(word * 64 + std::size_t(std::countr_zero(bits))));
    }
    const auto firstSupplementary = std::lower_bound(units.begin(), units.end(), char32_t(0x10000));
    m_bmpSymbols.assign(firstSupplementary == units.begin() ? 0 : std::size_t(*(firstSupplementary - 1)) + 1, 0);
    for (auto unit = units.begin(); unit != firstSupplementary; ++unit)
        m_bmpSymbols[*unit] = ++m_bmpSymbolCount;
    m_supplementaryUnits.assign(firstSupplementary, units.end());
    m_symbolCount = 1 + units.size();
}

void PhraseAutomaton::buildFailureLinks()
{
    // In breadth-first order every shorter suffix is linked, and has its row in the transition table,
    // before it is needed: a failure link then mostly costs one look-up in the table.
    const std::size_t nodes = m_parent.size();
    m_denseCount = std::max<std::size_t>(1, std::min(nodes, DenseTableLimit / m_symbolCount));
    // Half the memory when every position fits 16 bits: the walk waits on one look-up per unit, and a
    // smaller table stays nearer the processor. Built in its final width, as start-up pays for every page.
    if (nodes <= std::size_t(std::numeric_limits<std::int16_t>::max()) + 1)
        m_narrowDense.assign(m_denseCount * m_symbolCount, 0);
    else
        m_dense.assign(m_denseCount * m_symbolCount, 0);
    for (std::size_t node = 0; node < nodes; ++node) {
        const std::int32_t nodeFailure = m_links[node].failure;
        for (std::uint32_t e = m_links[node].edgeBegin; e < m_links[node + 1].edgeBegin; ++e) {
            const auto target = std::int32_t(e + 1);
            const char32_t unit = m_edges[e].unit;
            const std::int32_t failure = node == 0 ? 0 : nodeAt(transition(nodeFailure, unit, symbolOf(unit)));
            m_links[std::size_t(target)].failure = failure;
            m_reports[std::size_t(target)].suffix = firstEndingAt(failure);
            m_edges[e].target = positionOf(target);
        }
        if (node < m_denseCount)
            fillTableRow(node);
    }
    m_patternSuffix.resize(m_patternNode.size());
    for (std::size_t pattern = 0; pattern < m_patternNode.size(); ++pattern)
        m_patternSuffix[pattern] = m_reports[std::size_t(m_patternNode[pattern])].suffix;
}

void PhraseAutomaton::fillTableRow(std::size_t node)
{
    if (m_narrowDense.empty())
        fillTableRow(m_dense.data(), node);
    else
        fillTableRow(m_narrowDense.data(), node);
}

template <typename Cell>
void PhraseAutomaton::fillTableRow(Cell* table, std::size_t node)
{
    // A row copies its failure node's row, which lies above it, and sets its own edges.
    Cell* targets = table + node * m_symbolCount;
    if (node != 0)
        std::copy_n(table + std::size_t(m_links[node].failure) * m_symbolCount, m_symbolCount, targets);
    for (std::uint32_t e = m_links[node].edgeBegin; e < m_links[node + 1].edgeBegin; ++e)
        targets[symbolOf(m_edges[e].unit)] = Cell(m_edges[e].target);
}

PhraseAutomaton::Position
PhraseAutomaton::sparseTransition(std::int32_t node, char32_t unit, std::uint32_t symbol) const
{
    for (;;) {
        if (std::size_t(node) < m_denseCount)
            return transition(node, unit, symbol);
        if (symbol != 0) {
            const std::int32_t edge = edgeOf(node, unit);
            if (edge >= 0)
                return m_edges[std::size_t(edge)].target;
        }
        node = m_links[std::size_t(node)].failure;
    }
}

std::int32_t PhraseAutomaton::edgeOf(std::int32_t node, char32_t unit) const
{
    const EdgeTo* first = m_edges.data() + m_links[std::size_t(node)].edgeBegin;
    const EdgeTo* last = m_edges.data() + m_links[std::size_t(node) + 1].edgeBegin;
    const EdgeTo* found = last - first <= 8
        ? std::find_if(first, last, [unit](const EdgeTo& edge) { return edge.unit == unit; })
        : std::lower_bound(first, last, unit, [](const EdgeTo& edge, char32_t u) { return edge.unit < u; });
    if (found == last || found->unit != unit)
        return -1;
    return std::int32_t(found - m_edges.data());
}

std::uint32_t PhraseAutomaton::supplementarySymbol(char32_t unit) const
{
    const auto found = std::lower_bound(m_supplementaryUnits.begin(), m_supplementaryUnits.end(), unit);
    if (found == m_supplementaryUnits.end() || *found != unit)
        return 0;
    return 1 + m_bmpSymbolCount + std::uint32_t(found - m_supplementaryUnits.begin());
}

std::int32_t PhraseAutomaton::liveFrom(WalkState& state, std::int32_t pattern)
{
    std::int32_t live = pattern;
    while (live >= 0 && state.m_retired[std::size_t(live)])
        live = state.m_nextReporting[std::size_t(live)];
    // Path compression: the retired patterns passed on the way now point past themselves.
    while (pattern >= 0 && state.m_retired[std::size_t(pattern)]) {
        const std::int32_t following = state.m_nextReporting[std::size_t(pattern)];
        state.link(pattern, live);
        pattern = following;
    }
    return live;
}
