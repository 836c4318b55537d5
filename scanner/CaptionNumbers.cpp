#include "CaptionNumbers.h"

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
    // value × 10 is exactly scaled + error; only a scaled value halfway between two whole numbers needs
    // the error to tell on which side of the half the exact product lies.
    const double scaled = value * 10.0;
    const double error = std::fma(value, 10.0, -scaled);
    double tenths = std::round(scaled);
    const double offset = scaled - tenths;
    if (offset == -0.5 && error < 0)
        tenths -= 1;
    else if (offset == 0.5 && error > 0)
        tenths += 1;
    return tenths / 10.0;
}

double CaptionNumbers::readPercent(const QString& caption) const
{
    QString number = caption;
    number.remove(u'%');
    number.append(u'0');
    return m_locale.toDouble(number);
}
