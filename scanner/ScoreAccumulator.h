#pragma once

#include "scanner/CaptionNumbers.h"

#include <array>
#include <optional>

// The running score as its caption shows it: every addition goes by the value the caption reads back as, so
// the score is rounded to one decimal at every step, as the user sees it.
class ScoreAccumulator
{
public:
    explicit ScoreAccumulator(const QLocale& locale);

    double value() const;

    // Starts again from 0.
    void reset();
    void add(double weight);

private:
    bool startCountingTenths();

    CaptionNumbers m_numbers;
    double m_value = 0.0;
    // While the score and every weight added are whole numbers of tenths (weights with one decimal), the
    // score is counted in tenths: adding gives exactly the value the caption reads back as, and an
    // integer addition need not wait for the rounding of the one before.
    bool m_countingTenths = false;
    qint64 m_tenths = 0;
    // Every entry starts as the weight 0, which is 0 tenths.
    struct WeightTenths
    {
        quint64 bits = 0;
        std::optional<qint64> tenths = 0;
    };
    static constexpr int WeightCacheBits = 4;
    std::array<WeightTenths, 1 << WeightCacheBits> m_weightTenths;
};
