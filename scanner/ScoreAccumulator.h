#pragma once

#include "scanner/CaptionNumbers.h"

#include <QString>

#include <array>
#include <optional>

// The running score as the score caption shows it: every addition goes by the value the caption reads
// back as, so the score is rounded to one decimal at every step, as the user sees it.
class ScoreAccumulator
{
public:
    explicit ScoreAccumulator(const QLocale& locale);

    const CaptionNumbers& numbers() const { return m_numbers; }

    // The caption, written when it is first read after an addition, from the last sum.
    const QString& caption() const;
    double value() const;

    // Starts again from a caption.
    void reset(const QString& caption);
    void add(double weight);

private:
    bool startCountingTenths();

    CaptionNumbers m_numbers;
    mutable QString m_caption;
    mutable bool m_captionUnwritten = false;
    double m_sum = 0.0;
    double m_value = 0.0;
    // While the score and every weight added are whole numbers of tenths (weights with one decimal), the
    // score is counted in tenths: adding gives exactly the value the caption reads back as, and an
    // integer addition need not wait for the rounding of the one before. The last sum is then the value
    // before the last addition plus its weight.
    bool m_countingTenths = false;
    qint64 m_tenths = 0;
    qint64 m_tenthsBefore = 0;
    double m_lastWeight = 0.0;
    // Every entry starts as the weight 0, which is 0 tenths.
    struct WeightTenths
    {
        quint64 bits = 0;
        std::optional<qint64> tenths = 0;
    };
    static constexpr int WeightCacheBits = 4;
    std::array<WeightTenths, 1 << WeightCacheBits> m_weightTenths;
};
