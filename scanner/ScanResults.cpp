#include "ScanResults.h"

#include "Captions.h"

#include <algorithm>

ScanResults::ScanResults(const QLocale& locale)
    : m_numbers(locale)
    , m_score(QStringLiteral("0"))
    , m_percent(Captions::IdlePercent)
    , m_status(Captions::StatusReady)
    , m_scanButton(Captions::ScanButton)
{
}

void ScanResults::resetResults()
{
    m_score = Captions::IdleScore;
    m_percent = Captions::IdlePercent;
    m_phrases.clear();
}

void ScanResults::updateGauges()
{
    m_gauge = ScoreGauge::widthsFor(m_score, m_percent, m_numbers);
}

void ScanResults::addToScore(double weight)
{
    m_score = m_numbers.score(scoreValue() + weight);
}

void ScanResults::updatePercent(qsizetype textLength)
{
    m_percent = m_numbers.percent(scoreValue() / double(textLength) * 1.2);
}

void ScanResults::listPhrase(const QString& phrase)
{
    if (m_phrases.contains(phrase, Qt::CaseInsensitive))
        return;
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
