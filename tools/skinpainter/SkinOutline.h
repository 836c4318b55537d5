#pragma once

#include <array>

class QRegion;

// The window's outline on the skin, row by row: every row holds at most one span of inside columns,
// so the window's edge never folds back on itself.
class SkinOutline
{
public:
    static constexpr int width = 559;
    static constexpr int height = 496;

    SkinOutline();

    bool contains(int x, int y) const;
    QRegion region() const;

private:
    struct Span
    {
        int first = 0;
        int last = -1;
    };

    std::array<Span, height> m_rows;
};
