#include "ScanResults.h"

#include "Captions.h"

#include <algorithm>

ScanResults::ScanResults(const QLocale& locale)
    : m_numbers(locale)
    , m_percent(Captions::IdlePercent)
    , m_percentValue(m_numbers.readPercent(m_percent))
    , m_status(Captions::StatusReady)
    , m_scanButton(Captions::ScanButton)
{
    setScore(QStringLiteral("0"));
}

const QString& ScanResults::score() const
{
    if (m_scoreUnwritten) {
        m_score = m_numbers.score(m_scoreSum);
        m_scoreUnwritten = false;
    }
    return m_score;
}

void ScanResults::setScore(const QString& caption)
{
    m_score = caption;
    m_scoreUnwritten = false;
    m_scoreValue = m_numbers.readScore(caption);
}

void ScanResults::setPercent(const QString& caption)
{
    m_percent = caption;
    m_percentValue = m_numbers.readPercent(caption);
}

void ScanResults::resetResults()
{
    setScore(Captions::IdleScore);
    setPercent(Captions::IdlePercent);
    m_phrases.clear();
}

void ScanResults::updateGauges()
{
    m_gauge = ScoreGauge::widthsFor(m_scoreValue, m_percentValue);
}

void ScanResults::addToScore(double weight)
{
    m_scoreSum = m_scoreValue + weight;
    m_scoreValue = m_numbers.scoreReadBack(m_scoreSum);
    m_scoreUnwritten = true;
}

void ScanResults::updatePercent(qsizetype textLength)
{
    setPercent(m_numbers.percent(m_scoreValue / double(textLength) * 1.2));
}

void ScanResults::appendPhrase(const QString& phrase)
{
    m_phrases += phrase;
    m_phrases += QStringLiteral("\r\n");
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
