#include "scanner/ScoreGauge.h"

#include "scanner/CaptionNumbers.h"

#include <algorithm>
#include <cmath>

GaugeWidths
ScoreGauge::widthsFor(const QString& scoreCaption, const QString& percentCaption, const CaptionNumbers& numbers)
{
    return widthsFor(numbers.readScore(scoreCaption), numbers.readPercent(percentCaption));
}

GaugeWidths ScoreGauge::widthsFor(double score, double percent)
{
    const double fromScore = score / ScaleDivisor;
    const double fromPercent = percent / ScaleDivisor;
    const double fraction = std::min(std::max(fromScore, fromPercent), 1.0);

    const int width = std::max(0, int(std::floor(FullWidth * fraction)));
    GaugeWidths widths {width, width, width};
    if (fraction > GreenLimit)
        widths.green = int(std::floor(FullWidth * GreenLimit));
    if (fraction > YellowLimit)
        widths.yellow = int(std::floor(FullWidth * YellowLimit));
    return widths;
}
