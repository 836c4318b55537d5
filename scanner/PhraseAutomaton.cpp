#include "PhraseAutomaton.h"

#include <QtGlobal>

#include <algorithm>
#include <limits>
#include <numeric>

void PhraseAutomaton::WalkState::reset(const PhraseAutomaton& automaton)
{
    if (m_automaton != &automaton || m_retired.size() != automaton.nodeCount()) {
        m_automaton = &automaton;
        m_retired.resize(automaton.nodeCount());
        for (std::size_t node = 0; node < m_retired.size(); ++node)
            m_retired[node] = automaton.m_nodePattern[node] < 0 ? 1 : 0;
        m_nextReporting = automaton.m_suffixReport;
    } else {
        for (const std::int32_t node : m_retiredNodes)
            m_retired[std::size_t(node)] = 0;
        for (const std::int32_t node : m_linkedNodes)
            m_nextReporting[std::size_t(node)] = automaton.m_suffixReport[std::size_t(node)];
    }
    m_retiredNodes.clear();
    m_linkedNodes.clear();
}

void PhraseAutomaton::WalkState::retire(std::int32_t node)
{
    m_retired[std::size_t(node)] = 1;
    m_retiredNodes.push_back(node);
}

void PhraseAutomaton::WalkState::link(std::int32_t node, std::int32_t below)
{
    std::int32_t& current = m_nextReporting[std::size_t(node)];
    if (current == below)
        return;
    if (current == m_automaton->m_suffixReport[std::size_t(node)])
        m_linkedNodes.push_back(node);
    current = below;
}

PhraseAutomaton::PhraseAutomaton(const std::vector<std::u32string>& patterns)
    : m_patternOf(patterns.size(), -1)
{
    // Inserting the patterns in sorted order lets each one reuse the path of the one before it up to their
    // common prefix, and creates every node's children in ascending order.
    std::vector<std::size_t> order(patterns.size());
    std::iota(order.begin(), order.end(), std::size_t(0));
    std::sort(order.begin(), order.end(), [&patterns](std::size_t a, std::size_t b) {
        return patterns[a] != patterns[b] ? patterns[a] < patterns[b] : a < b;
    });

    struct Edge
    {
        std::int32_t parent;
        char32_t unit;
        std::int32_t child;
    };
    std::vector<Edge> edges;
    std::vector<std::int32_t> path {0};
    m_depth.push_back(0);
    m_nodePattern.push_back(-1);
    const std::u32string* previous = nullptr;
    for (const std::size_t index : order) {
        const std::u32string& pattern = patterns[index];
        std::size_t common = 0;
        if (previous) {
            const auto mismatch = std::mismatch(pattern.begin(), pattern.end(), previous->begin(), previous->end());
            common = std::size_t(mismatch.first - pattern.begin());
        }
        path.resize(common + 1);
        for (std::size_t i = common; i < pattern.size(); ++i) {
            const auto node = std::int32_t(m_depth.size());
            edges.push_back({path.back(), pattern[i], node});
            m_depth.push_back(std::int32_t(i + 1));
            m_longestPattern = std::max(m_longestPattern, std::int32_t(i + 1));
            m_nodePattern.push_back(-1);
            path.push_back(node);
        }
        std::int32_t& nodePattern = m_nodePattern[std::size_t(path.back())];
        if (nodePattern < 0 && !pattern.empty()) {
            nodePattern = std::int32_t(m_patternNode.size());
            m_patternNode.push_back(path.back());
        }
        m_patternOf[index] = nodePattern;
        previous = &pattern;
    }

    numberPatternsInInputOrder();

    const std::size_t nodes = m_depth.size();
    // Children lists by insertion number, then every node renumbered breadth first: the nodes nearest the
    // root, where a walk spends most of its time, come first and get rows of the transition table.
    std::vector<std::uint32_t> childBegin(nodes + 1, 0);
    for (const Edge& edge : edges)
        ++childBegin[std::size_t(edge.parent) + 1];
    std::partial_sum(childBegin.begin(), childBegin.end(), childBegin.begin());
    std::vector<std::int32_t> children(edges.size());
    std::vector<std::uint32_t> fill(childBegin.begin(), childBegin.end() - 1);
    for (std::size_t e = 0; e < edges.size(); ++e)
        children[fill[std::size_t(edges[e].parent)]++] = std::int32_t(e);

    std::vector<std::int32_t> breadthFirst {0};
    std::vector<std::int32_t> renumbered(nodes, 0);
    breadthFirst.reserve(nodes);
    for (std::size_t head = 0; head < breadthFirst.size(); ++head) {
        const auto old = std::size_t(breadthFirst[head]);
        for (std::uint32_t c = childBegin[old]; c < childBegin[old + 1]; ++c) {
            const std::int32_t child = edges[std::size_t(children[c])].child;
            renumbered[std::size_t(child)] = std::int32_t(breadthFirst.size());
            breadthFirst.push_back(child);
        }
    }
    const std::vector<std::int32_t> depth(m_depth);
    const std::vector<std::int32_t> nodePattern(m_nodePattern);
    m_links.assign(nodes + 1, NodeLinks {});
    m_edges.clear();
    m_edges.reserve(edges.size());
    for (std::size_t node = 0; node < nodes; ++node) {
        const auto old = std::size_t(breadthFirst[node]);
        m_depth[node] = depth[old];
        m_nodePattern[node] = nodePattern[old];
        for (std::uint32_t c = childBegin[old]; c < childBegin[old + 1]; ++c) {
            const Edge& edge = edges[std::size_t(children[c])];
            m_edges.push_back({edge.unit, 0});
            Q_ASSERT(renumbered[std::size_t(edge.child)] == std::int32_t(m_edges.size()));
        }
        m_links[node + 1].edgeBegin = std::uint32_t(m_edges.size());
    }
    for (std::int32_t& node : m_patternNode)
        node = renumbered[std::size_t(node)];

    std::vector<char32_t> units(m_edges.size());
    std::transform(m_edges.begin(), m_edges.end(), units.begin(), [](const EdgeTo& edge) { return edge.unit; });
    std::sort(units.begin(), units.end());
    units.erase(std::unique(units.begin(), units.end()), units.end());
    const auto firstSupplementary = std::lower_bound(units.begin(), units.end(), char32_t(0x10000));
    m_bmpSymbols.assign(firstSupplementary == units.begin() ? 0 : std::size_t(*(firstSupplementary - 1)) + 1, 0);
    for (auto unit = units.begin(); unit != firstSupplementary; ++unit)
        m_bmpSymbols[*unit] = ++m_bmpSymbolCount;
    m_supplementaryUnits.assign(firstSupplementary, units.end());
    m_symbolCount = 1 + units.size();

    // Failure and report links in breadth-first order, so that every shorter suffix is linked before it is
    // needed; then the transition table, whose rows copy their failure node's row.
    m_parent.assign(nodes, -1);
    for (std::size_t node = 0; node < nodes; ++node) {
        for (std::uint32_t e = m_links[node].edgeBegin; e < m_links[node + 1].edgeBegin; ++e)
            m_parent[e + 1] = std::int32_t(node);
    }
    m_suffixReport.assign(nodes, -1);
    m_denseCount = std::max<std::size_t>(1, std::min(nodes, DenseTableLimit / m_symbolCount));
    m_dense.assign(m_denseCount * m_symbolCount, 0);
    for (std::size_t node = 0; node < nodes; ++node) {
        for (std::uint32_t e = m_links[node].edgeBegin; e < m_links[node + 1].edgeBegin; ++e) {
            const auto target = std::int32_t(e + 1);
            const std::int32_t failure = node == 0 ? 0 : slowNext(m_links[node].failure, m_edges[e].unit);
            m_links[std::size_t(target)].failure = failure;
            m_suffixReport[std::size_t(target)]
                = m_nodePattern[std::size_t(failure)] >= 0 ? failure : m_suffixReport[std::size_t(failure)];
            m_edges[e].target = positionOf(target);
        }
        if (node < m_denseCount) {
            std::int32_t* targets = m_dense.data() + node * m_symbolCount;
            if (node != 0)
                std::copy_n(m_dense.data() + std::size_t(m_links[node].failure) * m_symbolCount, m_symbolCount,
                            targets);
            for (std::uint32_t e = m_links[node].edgeBegin; e < m_links[node + 1].edgeBegin; ++e)
                targets[symbolOf(m_edges[e].unit)] = m_edges[e].target;
        }
    }
    if (nodes <= std::size_t(std::numeric_limits<std::int16_t>::max()) + 1) {
        m_narrowDense.resize(m_dense.size());
        std::transform(m_dense.begin(), m_dense.end(), m_narrowDense.begin(),
                       [](std::int32_t position) { return std::int16_t(position); });
        m_dense = {};
    }
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
    std::for_each(m_nodePattern.begin(), m_nodePattern.end(), renumber);
    std::vector<std::int32_t> patternNode(m_patternNode.size());
    for (std::size_t pattern = 0; pattern < m_patternNode.size(); ++pattern)
        patternNode[std::size_t(renumbered[pattern])] = m_patternNode[pattern];
    m_patternNode = std::move(patternNode);
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

std::size_t PhraseAutomaton::memoryBytes() const
{
    return (m_parent.capacity() + m_depth.capacity() + m_suffixReport.capacity() + m_nodePattern.capacity()
            + m_patternOf.capacity() + m_patternNode.capacity() + m_dense.capacity())
        * sizeof(std::int32_t)
        + m_narrowDense.capacity() * sizeof(std::int16_t) + m_links.capacity() * sizeof(NodeLinks)
        + m_edges.capacity() * sizeof(EdgeTo) + m_bmpSymbols.capacity() * sizeof(std::uint32_t)
        + m_supplementaryUnits.capacity() * sizeof(char32_t);
}

std::int32_t PhraseAutomaton::slowNext(std::int32_t node, char32_t unit) const
{
    for (;;) {
        const std::int32_t edge = edgeOf(node, unit);
        if (edge >= 0)
            return edge + 1;
        if (node == 0)
            return 0;
        node = m_links[std::size_t(node)].failure;
    }
}

std::int32_t PhraseAutomaton::liveFrom(WalkState& state, std::int32_t node)
{
    std::int32_t live = node;
    while (live >= 0 && state.m_retired[std::size_t(live)])
        live = state.m_nextReporting[std::size_t(live)];
    // Path compression: the retired nodes passed on the way now point past themselves.
    while (node >= 0 && state.m_retired[std::size_t(node)]) {
        const std::int32_t following = state.m_nextReporting[std::size_t(node)];
        state.link(node, live);
        node = following;
    }
    return live;
}
