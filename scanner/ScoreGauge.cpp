#include "ScoreGauge.h"

#include "CaptionNumbers.h"

#include <algorithm>
#include <cmath>

GaugeWidths
ScoreGauge::widthsFor(const QString& scoreCaption, const QString& percentCaption, const CaptionNumbers& numbers)
{
    const double fromScore = numbers.readScore(scoreCaption) / ScaleDivisor;
    const double fromPercent = numbers.readPercent(percentCaption) / ScaleDivisor;
    const double fraction = std::min(std::max(fromScore, fromPercent), 1.0);

    const int width = std::max(0, int(std::floor(FullWidth * fraction)));
    GaugeWidths widths {width, width, width};
    if (fraction > GreenLimit)
        widths.green = int(std::floor(FullWidth * GreenLimit));
    if (fraction > YellowLimit)
        widths.yellow = int(std::floor(FullWidth * YellowLimit));
    return widths;
}
