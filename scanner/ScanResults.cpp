#include "scanner/ScanResults.h"

#include "scanner/Captions.h"

#include <algorithm>

ScanResults::ScanResults(const QLocale& locale)
    : m_score(locale)
    , m_percent(Captions::IdlePercent)
    , m_percentValue(numbers().readPercent(m_percent))
    , m_status(Captions::StatusReady)
    , m_scanButton(Captions::ScanButton)
{
    m_score.reset(QStringLiteral("0"));
}

void ScanResults::setPercent(const QString& caption)
{
    m_percent = caption;
    m_percentValue = numbers().readPercent(caption);
}

void ScanResults::resetResults()
{
    m_score.reset(Captions::IdleScore);
    setPercent(Captions::IdlePercent);
    m_phrases.clear();
}

void ScanResults::updateGauges()
{
    m_gauge = ScoreGauge::widthsFor(scoreValue(), m_percentValue);
}

void ScanResults::updatePercent(qsizetype textLength)
{
    setPercent(numbers().percent(scoreValue() / double(textLength) * 1.2));
}

void ScanResults::showVerdict()
{
    m_passFail = verdictFor(std::max(scoreValue(), percentValue()));
}

QString verdictFor(double value)
{
    if (value < 3)
        return Captions::Pass;
    if (value < 5)
        return Captions::Questionable;
    return Captions::Fail;
}
