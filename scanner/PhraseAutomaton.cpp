#include "PhraseAutomaton.h"

#include <algorithm>
#include <numeric>

void PhraseAutomaton::WalkState::reset(const PhraseAutomaton& automaton)
{
    const std::size_t nodes = automaton.nodeCount();
    // A node that ends no pattern never reports: it counts as retired from the start.
    m_retired.resize(nodes);
    for (std::size_t node = 0; node < nodes; ++node)
        m_retired[node] = automaton.m_nodePattern[node] < 0 ? 1 : 0;
    m_nextReporting = automaton.m_suffixReport;
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

    const std::size_t nodes = m_depth.size();
    m_edgeBegin.assign(nodes + 1, 0);
    for (const Edge& edge : edges)
        ++m_edgeBegin[std::size_t(edge.parent) + 1];
    std::partial_sum(m_edgeBegin.begin(), m_edgeBegin.end(), m_edgeBegin.begin());
    m_edgeUnits.resize(edges.size());
    m_edgeTargets.resize(edges.size());
    std::vector<std::uint32_t> fill(m_edgeBegin.begin(), m_edgeBegin.end() - 1);
    for (const Edge& edge : edges) {
        const std::uint32_t slot = fill[std::size_t(edge.parent)]++;
        m_edgeUnits[slot] = edge.unit;
        m_edgeTargets[slot] = edge.child;
    }
    // The root's table reaches up to its highest child in the Basic Multilingual Plane.
    char32_t rootSpan = 0;
    for (std::uint32_t e = m_edgeBegin[0]; e < m_edgeBegin[1]; ++e) {
        if (m_edgeUnits[e] < RootTableSize)
            rootSpan = m_edgeUnits[e] + 1;
    }
    m_rootNext.assign(rootSpan, 0);
    for (std::uint32_t e = m_edgeBegin[0]; e < m_edgeBegin[1]; ++e) {
        if (m_edgeUnits[e] < rootSpan)
            m_rootNext[m_edgeUnits[e]] = m_edgeTargets[e];
    }

    // Failure and report links, breadth first so that every shorter suffix is linked before it is needed.
    m_failure.assign(nodes, 0);
    m_suffixReport.assign(nodes, -1);
    std::vector<std::int32_t> queue {0};
    queue.reserve(nodes);
    for (std::size_t head = 0; head < queue.size(); ++head) {
        const std::int32_t node = queue[head];
        for (std::uint32_t e = m_edgeBegin[std::size_t(node)]; e < m_edgeBegin[std::size_t(node) + 1]; ++e) {
            const std::int32_t target = m_edgeTargets[e];
            const std::int32_t failure = node == 0 ? 0 : next(m_failure[std::size_t(node)], m_edgeUnits[e]);
            m_failure[std::size_t(target)] = failure;
            m_suffixReport[std::size_t(target)]
                = m_nodePattern[std::size_t(failure)] >= 0 ? failure : m_suffixReport[std::size_t(failure)];
            queue.push_back(target);
        }
    }
}

std::size_t PhraseAutomaton::memoryBytes() const
{
    return (m_depth.capacity() + m_failure.capacity() + m_suffixReport.capacity() + m_nodePattern.capacity()
            + m_edgeTargets.capacity() + m_rootNext.capacity() + m_patternOf.capacity() + m_patternNode.capacity())
        * sizeof(std::int32_t)
        + m_edgeBegin.capacity() * sizeof(std::uint32_t) + m_edgeUnits.capacity() * sizeof(char32_t);
}

std::int32_t PhraseAutomaton::child(std::int32_t node, char32_t unit) const
{
    const char32_t* first = m_edgeUnits.data() + m_edgeBegin[std::size_t(node)];
    const char32_t* last = m_edgeUnits.data() + m_edgeBegin[std::size_t(node) + 1];
    const char32_t* found = last - first <= 8 ? std::find(first, last, unit) : std::lower_bound(first, last, unit);
    if (found == last || *found != unit)
        return -1;
    return m_edgeTargets[std::size_t(found - m_edgeUnits.data())];
}

std::int32_t PhraseAutomaton::next(std::int32_t node, char32_t unit) const
{
    while (node != 0) {
        const std::int32_t target = child(node, unit);
        if (target >= 0)
            return target;
        node = m_failure[std::size_t(node)];
    }
    if (unit < m_rootNext.size())
        return m_rootNext[unit];
    return unit < RootTableSize ? 0 : std::max(child(0, unit), 0);
}

std::int32_t PhraseAutomaton::liveFrom(WalkState& state, std::int32_t node)
{
    std::int32_t live = node;
    while (live >= 0 && state.m_retired[std::size_t(live)])
        live = state.m_nextReporting[std::size_t(live)];
    // Path compression: the retired nodes passed on the way now point past themselves.
    while (node >= 0 && state.m_retired[std::size_t(node)]) {
        const std::int32_t following = state.m_nextReporting[std::size_t(node)];
        state.m_nextReporting[std::size_t(node)] = live;
        node = following;
    }
    return live;
}
