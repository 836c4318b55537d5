#include "CaptionNumbers.h"

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

double CaptionNumbers::readPercent(const QString& caption) const
{
    QString number = caption;
    number.remove(u'%');
    number.append(u'0');
    return m_locale.toDouble(number);
}
