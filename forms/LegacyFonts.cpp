#include "forms/LegacyFonts.h"

#include <cmath>

namespace {

constexpr double DesignDotsPerInch = 96.0;
constexpr double PointsPerInch = 72.0;
// MS Sans Serif sets its letters a little closer than Arial, whose metrics Liberation Sans shares; without
// this the longest fixed caption of the main window would lose its last letters.
constexpr double SansSerifSpacingPercent = 98.5;

} // namespace

QString legacyFamily(const QString& designFamily)
{
    if (designFamily.compare(u"Verdana", Qt::CaseInsensitive) == 0)
        return QStringLiteral("DejaVu Sans");
    if (designFamily.compare(u"MS Sans Serif", Qt::CaseInsensitive) == 0
        || designFamily.compare(u"Arial", Qt::CaseInsensitive) == 0)
        return QStringLiteral("Liberation Sans");
    return designFamily;
}

QFont legacyFont(const QString& designFamily, double designPoints, bool bold, bool underline, bool italic)
{
    QFont font(legacyFamily(designFamily));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(int(std::lround(designPoints * DesignDotsPerInch / PointsPerInch)));
    font.setBold(bold);
    font.setUnderline(underline);
    font.setItalic(italic);
    if (designFamily.compare(u"MS Sans Serif", Qt::CaseInsensitive) == 0)
        font.setLetterSpacing(QFont::PercentageSpacing, SansSerifSpacingPercent);
    return font;
}
