#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A multi-pattern automaton (Aho-Corasick) over folded text units: one pass over a text reports every
// occurrence of every pattern. Equal patterns share one pattern number. A walk can retire a pattern
// whose answer is complete, after which reporting it costs nothing, so nested patterns over long runs of
// one letter stay linear.
class PhraseAutomaton
{
public:
    // What one walk has retired; start it afresh with reset() for every text.
    class WalkState
    {
    public:
        void reset(const PhraseAutomaton& automaton);

    private:
        friend class PhraseAutomaton;
        // Per node, a node strictly down its suffix chain below which no unretired pattern node was skipped.
        std::vector<std::int32_t> m_nextReporting;
        std::vector<std::uint8_t> m_retired;
    };

    explicit PhraseAutomaton(const std::vector<std::u32string>& patterns = {});

    // The pattern number of `patterns[index]`; equal patterns have the same number.
    std::int32_t patternOf(std::size_t index) const { return m_patternOf[index]; }
    std::int32_t patternCount() const { return std::int32_t(m_patternNode.size()); }
    std::int32_t patternLength(std::int32_t pattern) const
    {
        return m_depth[std::size_t(m_patternNode[std::size_t(pattern)])];
    }
    std::size_t nodeCount() const { return m_depth.size(); }
    std::size_t memoryBytes() const;

    // Walks `text`, calling report(pattern, start) for each occurrence in the order of their ends, then
    // of their lengths, longest first. report returns false once it needs no more of that pattern.
    template <typename Report>
    void walk(const char32_t* text, std::size_t size, WalkState& state, Report&& report) const
    {
        std::int32_t node = 0;
        for (std::size_t i = 0; i < size; ++i) {
            node = next(node, text[i]);
            std::int32_t reporting = liveFrom(state, node);
            while (reporting >= 0) {
                const std::int32_t pattern = m_nodePattern[std::size_t(reporting)];
                const std::size_t start = i + 1 - std::size_t(m_depth[std::size_t(reporting)]);
                if (!report(pattern, start))
                    state.m_retired[std::size_t(reporting)] = 1;
                const std::int32_t below = liveFrom(state, state.m_nextReporting[std::size_t(reporting)]);
                state.m_nextReporting[std::size_t(reporting)] = below;
                reporting = below;
            }
        }
    }

private:
    std::int32_t next(std::int32_t node, char32_t unit) const;
    std::int32_t child(std::int32_t node, char32_t unit) const;
    // The first node from `node` along the report chain that has not retired, or -1; shortens the chain.
    static std::int32_t liveFrom(WalkState& state, std::int32_t node);

    static constexpr std::size_t RootTableSize = 0x10000;

    // Per node: the length of its path, its failure link, the nearest pattern-ending node strictly down its
    // suffix chain (-1 for none), and its pattern (-1 for none).
    std::vector<std::int32_t> m_depth;
    std::vector<std::int32_t> m_failure;
    std::vector<std::int32_t> m_suffixReport;
    std::vector<std::int32_t> m_nodePattern;
    // Children of each node, sorted by unit: m_edgeUnits/m_edgeTargets[m_edgeBegin[n] .. m_edgeBegin[n+1]).
    std::vector<std::uint32_t> m_edgeBegin;
    std::vector<char32_t> m_edgeUnits;
    std::vector<std::int32_t> m_edgeTargets;
    // The root's children by unit, for the units of the Basic Multilingual Plane up to its highest child
    // there (0 for none).
    std::vector<std::int32_t> m_rootNext;

    std::vector<std::int32_t> m_patternOf;
    std::vector<std::int32_t> m_patternNode;
};
