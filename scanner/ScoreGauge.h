#pragma once

class CaptionNumbers;
class QString;

// Widths in pixels of the three stacked gauge bars: green on top, then yellow, then red.
struct GaugeWidths
{
    int green = 0;
    int yellow = 0;
    int red = 0;

    friend bool operator==(const GaugeWidths&, const GaugeWidths&) = default;
};

namespace ScoreGauge {

constexpr int FullWidth = 157;
constexpr double GreenLimit = 0.6;
constexpr double YellowLimit = 0.8;
// A score, or a percentage number, of this much fills the gauge.
constexpr double ScaleDivisor = 5.0;

// The bar widths for the score and percentage captions: the gauge follows the larger of the two numbers,
// green up to 60 % of its length, yellow up to 80 %, red beyond. A negative value gives no bar at all.
GaugeWidths widthsFor(const QString& scoreCaption, const QString& percentCaption, const CaptionNumbers& numbers);
// The same for the numbers that the two captions read as.
GaugeWidths widthsFor(double score, double percent);

} // namespace ScoreGauge
