#include "scanner/CaptionNumbers.h"

#include <cmath>

CaptionNumbers::CaptionNumbers(const QLocale& locale)
    : m_locale(locale)
    , m_ungroupedLocale(locale)
{
    m_ungroupedLocale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
}

QString CaptionNumbers::score(double value) const
{
    return m_locale.toString(value, 'f', 1);
}

QString CaptionNumbers::percent(double value) const
{
    return m_locale.toString(value * 100.0, 'f', 2) + u'%';
}

QString CaptionNumbers::shownScore(std::optional<double> score) const
{
    if (!score)
        return NoScore;
    return withSignOfZero(*score, m_locale.toString(*score, 'f', 1));
}

QString CaptionNumbers::shownPercentage(std::optional<double> percentage) const
{
    if (!percentage)
        return NoPercentage;
    return withSignOfZero(*percentage, m_locale.toString(*percentage, 'f', 2)) + u'%';
}

QString CaptionNumbers::withSignOfZero(double value, const QString& number) const
{
    return value == 0 && std::signbit(value) ? m_locale.negativeSign() + number : number;
}

QString CaptionNumbers::weight(double value) const
{
    return m_ungroupedLocale.toString(value, 'g', 15);
}

double CaptionNumbers::readScore(const QString& caption) const
{
    return m_locale.toDouble(caption);
}

double CaptionNumbers::scoreReadBack(double value) const
{
    // Beyond this magnitude tenths are no longer whole numbers in a double: write and read the caption.
    constexpr double ExactTenthsLimit = 1e14;
    if (!(std::abs(value) < ExactTenthsLimit))
        return readScore(score(value));
    // Zero of either sign shows as "0.0".
    if (value == 0)
        return 0.0;
    // Every addition of a scan waits for this rounding, so it avoids the maths library and integer
    // conversions: adding and taking away 1.5 × 2^52 rounds to a whole number, ties to even.
    constexpr double RoundingShift = 6755399441055744.0;
    const double scaled = value * 10.0;
    double tenths = (scaled + RoundingShift) - RoundingShift;
    const double fraction = scaled - tenths;
    if (fraction == 0.5 || fraction == -0.5) {
        // value × 10 is exactly scaled + error: a product on the half rounds away from zero, as the caption
        // does, unless the error puts it short of the half.
        const double error = std::fma(value, 10.0, -scaled);
        const bool shortOfHalf = scaled > 0 ? error < 0 : error > 0;
        const double half = std::copysign(0.5, scaled);
        tenths = shortOfHalf ? scaled - half : scaled + half;
    }
    // A value that rounds to zero keeps its sign, as the caption "-0.0" does.
    return std::copysign(tenths, value) / 10.0;
}

double CaptionNumbers::readPercent(const QString& caption) const
{
    QString number = caption;
    number.remove(u'%');
    number.append(u'0');
    return m_locale.toDouble(number);
}
