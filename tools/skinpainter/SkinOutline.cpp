#include "SkinOutline.h"

#include <QRegion>

#include <algorithm>
#include <cmath>

namespace {

// The tab on the top right: rows 4 to 22. Its left edge sweeps down from the top on a smoothstep curve,
// so it leaves the tab's top edge and meets the frame's top edge without a corner; its top-right corner
// is a quarter circle that meets the frame's right edge.
constexpr double tabTop = 4.0;
constexpr double tabBottom = 23.0;
constexpr double tabSweepStart = 345.0;
constexpr double tabSweepWidth = 62.0;
constexpr double tabCornerRadius = 14.5;

// The frame below the tab: rows 23 to 490, columns 5 to 552, with rounded corners. The top-right corner
// is the tab's. The radii are tuned so that the window covers exactly 260,712 pixels (the logo's hole
// included), the figure the window region is checked against.
constexpr double frameLeft = 5.0;
constexpr double frameRight = 553.0;
constexpr double frameBottom = 491.0;
constexpr double topLeftRadius = 15.4;
constexpr double bottomRadius = 21.4;

double smoothstep(double u)
{
    return u * u * (3.0 - 2.0 * u);
}

// Where the tab's left edge crosses the height y, found by bisection so that the outline does not
// depend on the precision of the maths library.
double tabLeftEdge(double y)
{
    const double target = (y - tabTop) / (tabBottom - tabTop);
    double low = 0.0;
    double high = 1.0;
    for (int step = 0; step < 60; ++step) {
        const double middle = (low + high) / 2.0;
        (smoothstep(middle) < target ? low : high) = middle;
    }
    return tabSweepStart - (low + high) / 2.0 * tabSweepWidth;
}

// How far a circle of the given radius, whose centre lies dy above or below y, reaches sideways.
double circleReach(double radius, double dy)
{
    return std::sqrt(std::max(0.0, radius * radius - dy * dy));
}

} // namespace

SkinOutline::SkinOutline()
{
    for (int y = 0; y < height; ++y) {
        // A pixel lies inside when its centre does.
        const double centre = y + 0.5;
        double left = 0.0;
        double right = 0.0;
        if (centre > tabTop && centre < tabBottom) {
            left = tabLeftEdge(centre);
            const double cornerCentre = tabTop + tabCornerRadius;
            right = centre < cornerCentre
                ? frameRight - tabCornerRadius + circleReach(tabCornerRadius, cornerCentre - centre)
                : frameRight;
        } else if (centre > tabBottom && centre < frameBottom) {
            left = frameLeft;
            right = frameRight;
            const double topCentre = tabBottom + topLeftRadius;
            if (centre < topCentre)
                left = frameLeft + topLeftRadius - circleReach(topLeftRadius, topCentre - centre);
            const double bottomCentre = frameBottom - bottomRadius;
            if (centre > bottomCentre) {
                const double reach = circleReach(bottomRadius, centre - bottomCentre);
                left = std::max(left, frameLeft + bottomRadius - reach);
                right = frameRight - bottomRadius + reach;
            }
        } else {
            continue;
        }
        m_rows.at(y) = {static_cast<int>(std::floor(left - 0.5)) + 1, static_cast<int>(std::ceil(right - 0.5)) - 1};
    }
}

bool SkinOutline::contains(int x, int y) const
{
    if (y < 0 || y >= height)
        return false;
    const Span& span = m_rows.at(y);
    return x >= span.first && x <= span.last;
}

QRegion SkinOutline::region() const
{
    QRegion region;
    for (int y = 0; y < height; ++y) {
        const Span& span = m_rows.at(y);
        if (span.last >= span.first)
            region += QRect(span.first, y, span.last - span.first + 1, 1);
    }
    return region;
}
