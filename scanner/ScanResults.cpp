#include "ScanResults.h"

#include "Captions.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <optional>

ScanResults::ScanResults(const QLocale& locale)
    : m_numbers(locale)
    , m_percent(Captions::IdlePercent)
    , m_percentValue(m_numbers.readPercent(m_percent))
    , m_status(Captions::StatusReady)
    , m_scanButton(Captions::ScanButton)
{
    setScore(QStringLiteral("0"));
}

namespace {

// Scores and weights counted in tenths stay below this, far from where a double's rounding errors could
// add up to half a tenth.
constexpr qint64 TenthsLimit = 100'000'000'000'000;

// The weight as a whole number of tenths, when it is the double nearest to one: 0.3 gives 3.
std::optional<qint64> wholeTenths(double weight)
{
    if (!(std::abs(weight) < double(TenthsLimit) / 10))
        return std::nullopt;
    const auto tenths = qint64(weight * 10.0 + std::copysign(0.5, weight));
    // Compared bit by bit, so that -0 is not taken for 0.
    if (std::bit_cast<quint64>(double(tenths) / 10.0) != std::bit_cast<quint64>(weight))
        return std::nullopt;
    return tenths;
}

} // namespace

const QString& ScanResults::score() const
{
    if (m_scoreUnwritten) {
        m_score = m_numbers.score(m_countingTenths ? double(m_tenthsBefore) / 10.0 + m_lastWeight : m_scoreSum);
        m_scoreUnwritten = false;
    }
    return m_score;
}

double ScanResults::scoreValue() const
{
    return m_countingTenths ? double(m_tenths) / 10.0 : m_scoreValue;
}

void ScanResults::setScore(const QString& caption)
{
    m_score = caption;
    m_scoreUnwritten = false;
    m_countingTenths = false;
    m_scoreValue = m_numbers.readScore(caption);
}

bool ScanResults::startCountingTenths()
{
    const std::optional<qint64> tenths = wholeTenths(m_scoreValue);
    if (!tenths)
        return false;
    m_tenths = *tenths;
    m_countingTenths = true;
    return true;
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
    m_gauge = ScoreGauge::widthsFor(scoreValue(), m_percentValue);
}

void ScanResults::addToScore(double weight)
{
    m_scoreUnwritten = true;
    // Definitions hold few distinct weights: each is looked at once, then found in a small cache.
    const auto bits = std::bit_cast<quint64>(weight);
    WeightTenths& cached = m_weightTenths[(bits * 0x9E3779B97F4A7C15u) >> (64 - WeightCacheBits)];
    if (cached.bits != bits)
        cached = {bits, wholeTenths(weight)};
    if (const std::optional<qint64> tenths = cached.tenths;
        tenths && (m_countingTenths || startCountingTenths()) && std::abs(m_tenths + *tenths) < TenthsLimit) {
        m_tenthsBefore = m_tenths;
        m_tenths += *tenths;
        m_lastWeight = weight;
        return;
    }
    if (m_countingTenths) {
        m_scoreValue = scoreValue();
        m_countingTenths = false;
    }
    m_scoreSum = m_scoreValue + weight;
    m_scoreValue = m_numbers.scoreReadBack(m_scoreSum);
}

void ScanResults::updatePercent(qsizetype textLength)
{
    setPercent(m_numbers.percent(scoreValue() / double(textLength) * 1.2));
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
