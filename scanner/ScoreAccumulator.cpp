#include "scanner/ScoreAccumulator.h"

#include <bit>
#include <cmath>

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

ScoreAccumulator::ScoreAccumulator(const QLocale& locale)
    : m_numbers(locale)
{
}

double ScoreAccumulator::value() const
{
    return m_countingTenths ? double(m_tenths) / 10.0 : m_value;
}

void ScoreAccumulator::reset()
{
    m_countingTenths = false;
    m_value = 0.0;
}

bool ScoreAccumulator::startCountingTenths()
{
    const std::optional<qint64> tenths = wholeTenths(m_value);
    if (!tenths)
        return false;
    m_tenths = *tenths;
    m_countingTenths = true;
    return true;
}

void ScoreAccumulator::add(double weight)
{
    // Definitions hold few distinct weights: each is looked at once, then found in a small cache.
    const auto bits = std::bit_cast<quint64>(weight);
    WeightTenths& cached = m_weightTenths[(bits * 0x9E3779B97F4A7C15u) >> (64 - WeightCacheBits)];
    if (cached.bits != bits)
        cached = {bits, wholeTenths(weight)};
    if (const std::optional<qint64> tenths = cached.tenths;
        tenths && (m_countingTenths || startCountingTenths()) && std::abs(m_tenths + *tenths) < TenthsLimit) {
        m_tenths += *tenths;
        return;
    }
    if (m_countingTenths) {
        m_value = value();
        m_countingTenths = false;
    }
    m_value = m_numbers.scoreReadBack(m_value + weight);
}
