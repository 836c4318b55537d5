#pragma once

#include "scanner/LargeArray.h"

#include <algorithm>
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
    // What one walk has retired; start it afresh with reset() for every text. Kept per pattern, so that a
    // walk state stays small however long the patterns are.
    class WalkState
    {
    public:
        // Undoes what the last walk changed, so that a reset costs no more than the walk did.
        void reset(const PhraseAutomaton& automaton);
        // False when no unretired pattern ends in `node`: most nodes end none and have none down their
        // suffix chain.
        bool mayReport(std::int32_t node) const
        {
            const std::int32_t own = m_automaton->m_reports[std::size_t(node)].pattern;
            const std::int32_t first = own >= 0 ? own : m_automaton->m_reports[std::size_t(node)].suffix;
            return first >= 0 && (!m_retired[std::size_t(first)] || m_nextReporting[std::size_t(first)] >= 0);
        }

    private:
        friend class PhraseAutomaton;
        void retire(std::int32_t pattern);
        void link(std::int32_t pattern, std::int32_t below);

        const PhraseAutomaton* m_automaton = nullptr;
        // Per pattern, a pattern further down its suffix chain below which no unretired pattern was skipped.
        std::vector<std::int32_t> m_nextReporting;
        std::vector<std::uint8_t> m_retired;
        std::vector<std::int32_t> m_retiredPatterns;
        std::vector<std::int32_t> m_linkedPatterns;
    };

    // Where a walk stands: a node, with its bits inverted when a pattern ends in it or down its suffix
    // chain. Most nodes end none, so the walk can pass them by its sign alone.
    using Position = std::int32_t;
    static constexpr Position Start = 0;
    static bool mayEndPatterns(Position position) { return position < 0; }
    static std::int32_t nodeAt(Position position) { return position < 0 ? ~position : position; }

    // Takes the patterns, whose memory is given back as soon as the trie holds their units.
    explicit PhraseAutomaton(std::vector<std::u32string> patterns = {});

    // The pattern number of `patterns[index]`; equal patterns have the same number. Patterns are numbered
    // in the order they first appear, so that going through them in order goes through per-pattern data
    // in order.
    std::int32_t patternOf(std::size_t index) const { return m_patternOf[index]; }
    std::int32_t patternCount() const { return std::int32_t(m_patternNode.size()); }
    std::size_t nodeCount() const { return m_reports.size(); }
    // The length of the longest pattern; 0 without patterns.
    std::int32_t longestPattern() const { return m_longestPattern; }

    // The position after reading `unit`.
    Position next(Position position, char32_t unit) const { return next(position, unit, symbolOf(unit)); }
    // The same, with the unit's symbol already known.
    Position next(Position position, char32_t unit, std::uint32_t symbol) const
    {
        return transition(nodeAt(position), unit, symbol);
    }
    // Units that occur in no pattern share symbol 0.
    std::uint32_t symbolOf(char32_t unit) const
    {
        if (unit < m_bmpSymbols.size())
            return m_bmpSymbols[unit];
        return unit < 0x10000 ? 0 : supplementarySymbol(unit);
    }

    // Asks the processor to bring what reporting at `node` reads, for a walk that reports a little later.
    void prefetchReports(std::int32_t node) const { __builtin_prefetch(&m_reports[std::size_t(node)]); }

    // Calls report(pattern, start) for each unretired pattern that ends in `node`, whose last unit is at
    // `end`, longest first. report returns false once it needs no more of that pattern.
    template <typename Report>
    void reportEndingAt(WalkState& state, std::int32_t node, std::size_t end, Report&& report) const
    {
        std::int32_t reporting = liveFrom(state, firstEndingAt(node));
        while (reporting >= 0) {
            const std::size_t start = end + 1 - std::size_t(m_patternLength[std::size_t(reporting)]);
            if (!report(reporting, start))
                state.retire(reporting);
            const std::int32_t below = liveFrom(state, state.m_nextReporting[std::size_t(reporting)]);
            state.link(reporting, below);
            reporting = below;
        }
    }

    // Calls report(pattern, start) for every pattern that ends in `node`, retired or not, longest first.
    template <typename Report>
    void reportEveryEndingAt(std::int32_t node, std::size_t end, Report&& report) const
    {
        for (std::int32_t pattern = firstEndingAt(node); pattern >= 0;
             pattern = m_patternSuffix[std::size_t(pattern)]) {
            report(pattern, end + 1 - std::size_t(m_patternLength[std::size_t(pattern)]));
        }
    }

    // Calls report(pattern) for each unretired pattern that occurs in pattern `within`. A walk over that
    // pattern's own units would pass exactly the nodes of its path, so the path is followed instead.
    template <typename Report>
    void reportWithin(WalkState& state, std::int32_t within, Report&& report) const
    {
        auto end = std::size_t(m_patternLength[std::size_t(within)]);
        for (std::int32_t node = m_patternNode[std::size_t(within)]; node > 0; node = m_parent[std::size_t(node)]) {
            --end;
            if (mayEndPatterns(positionOf(node)) && state.mayReport(node))
                reportEndingAt(state, node, end,
                               [&report](std::int32_t pattern, std::size_t) { return report(pattern); });
        }
    }

    // Walks `text`, reporting each occurrence in the order of their ends, then of their lengths.
    template <typename Report>
    void walk(const char32_t* text, std::size_t size, WalkState& state, Report&& report) const
    {
        Position position = Start;
        for (std::size_t i = 0; i < size; ++i) {
            position = next(position, text[i]);
            if (mayEndPatterns(position) && state.mayReport(nodeAt(position)))
                reportEndingAt(state, nodeAt(position), i, report);
        }
    }

private:
    // The stages of building, in order.
    void buildTrie(const std::vector<std::u32string>& patterns);
    // Where each node's edges begin, from the trie's breadth-first numbering.
    void indexEdges();
    void numberPatternsInInputOrder();
    void buildSymbolMap();
    // Links every node to its longest proper suffix in the trie, filling the transition table's rows on
    // the way.
    void buildFailureLinks();
    void fillTableRow(std::size_t node);
    template <typename Cell>
    void fillTableRow(Cell* table, std::size_t node);

    std::uint32_t supplementarySymbol(char32_t unit) const;
    Position transition(std::int32_t node, char32_t unit, std::uint32_t symbol) const
    {
        if (std::size_t(node) < m_denseCount) {
            const std::size_t cell = std::size_t(node) * m_symbolCount + symbol;
            return m_narrowDense.empty() ? m_dense[cell] : m_narrowDense[cell];
        }
        return sparseTransition(node, unit, symbol);
    }
    // Follows edges and failure links from a node without a row in the table.
    Position sparseTransition(std::int32_t node, char32_t unit, std::uint32_t symbol) const;
    Position positionOf(std::int32_t node) const
    {
        const auto n = std::size_t(node);
        return m_reports[n].pattern >= 0 || m_reports[n].suffix >= 0 ? ~node : node;
    }
    // The longest pattern that ends in `node`, or -1.
    std::int32_t firstEndingAt(std::int32_t node) const
    {
        const std::int32_t own = m_reports[std::size_t(node)].pattern;
        return own >= 0 ? own : m_reports[std::size_t(node)].suffix;
    }
    // The edge from `node` by `unit`, or -1. Breadth-first numbering makes edge e lead to node e + 1.
    std::int32_t edgeOf(std::int32_t node, char32_t unit) const;
    // The first pattern from `pattern` along the report chain that has not retired, or -1; shortens the
    // chain.
    static std::int32_t liveFrom(WalkState& state, std::int32_t pattern);

    // Transitions kept as a full table for the nodes nearest the root, where a walk spends most of its time.
    static constexpr std::size_t DenseTableLimit = std::size_t(1) << 23;

    // Per node, numbered breadth first: its parent, its pattern (-1 for none), and the pattern of the
    // nearest pattern-ending node strictly down its suffix chain (-1 for none).
    LargeArray<std::int32_t> m_parent;
    struct NodeReports
    {
        std::int32_t pattern = -1;
        std::int32_t suffix = -1;
    };
    // Side by side, as the walk asks for both.
    LargeArray<NodeReports> m_reports;
    // What a walk reads at a node without a row in the table, side by side: where its edges begin and its
    // failure link; and per edge, its unit and the position it leads to. A node's edges are
    // m_edges[m_links[n].edgeBegin .. m_links[n+1].edgeBegin), sorted by unit.
    struct NodeLinks
    {
        std::uint32_t edgeBegin = 0;
        std::int32_t failure = 0;
    };
    struct EdgeTo
    {
        char32_t unit;
        Position target;
    };
    LargeArray<NodeLinks> m_links;
    LargeArray<EdgeTo> m_edges;
    // Symbols: per unit of the Basic Multilingual Plane up to the highest one in a pattern, and the sorted
    // units beyond it (symbol = 1 + m_bmpSymbolCount + index).
    std::vector<std::uint32_t> m_bmpSymbols;
    std::vector<char32_t> m_supplementaryUnits;
    std::uint32_t m_bmpSymbolCount = 0;
    std::size_t m_symbolCount = 1;
    // The first m_denseCount nodes have a row in m_dense (the next position for every symbol), the others
    // follow their edges and failure links.
    std::size_t m_denseCount = 0;
    LargeArray<std::int32_t> m_dense;
    // The same table in half the memory, instead of m_dense, when every position fits 16 bits: the walk
    // waits on one look-up per unit, and a smaller table stays nearer the processor.
    std::vector<std::int16_t> m_narrowDense;

    std::int32_t m_longestPattern = 0;
    std::vector<std::int32_t> m_patternOf;
    // Per pattern: its node, its length and the next pattern down its suffix chain (-1 for none).
    std::vector<std::int32_t> m_patternNode;
    std::vector<std::int32_t> m_patternLength;
    std::vector<std::int32_t> m_patternSuffix;
};
