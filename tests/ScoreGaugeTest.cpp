#include "scanner/ScoreGauge.h"
#include "scanner/CaptionNumbers.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <iomanip>
#include <random>
#include <vector>

TEST(ScoreGauge, WidthsFollowTheLargerOfScoreAndPercentage)
{
    struct Case
    {
        QString score;
        QString percent;
        GaugeWidths widths;
    };
    const std::vector<Case> cases = {
        {"0.0", "%", {0, 0, 0}},          {"1.0", "0.50%", {31, 31, 31}},   {"3.0", "0.00%", {94, 94, 94}},
        {"3.5", "1.20%", {94, 109, 109}}, {"4.5", "2.00%", {94, 125, 141}}, {"7.0", "3.00%", {94, 125, 157}},
        {"2.0", "9.00%", {94, 125, 157}}, {"3.1", "%", {94, 97, 97}},       {"4.0", "%", {94, 125, 125}},
        {"4.1", "%", {94, 125, 128}},     {"1,234.5", "%", {94, 125, 157}}, {"-2.0", "-1.00%", {0, 0, 0}},
    };
    const CaptionNumbers numbers(QLocale(QLocale::English, QLocale::UnitedStates));
    for (const Case& c : cases) {
        SCOPED_TRACE((c.score + " " + c.percent).toStdString());
        EXPECT_EQ(ScoreGauge::widthsFor(c.score, c.percent, numbers), c.widths);
    }

    SCOPED_TRACE("captions with a decimal comma");
    const CaptionNumbers german(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(ScoreGauge::widthsFor("3,5", "1,20%", german), (GaugeWidths {94, 109, 109}));
    EXPECT_EQ(ScoreGauge::widthsFor("1,0", "9,00%", german), (GaugeWidths {94, 125, 157}));
}

TEST(CaptionNumbers, WritesAndReadsCaptions)
{
    const CaptionNumbers english(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(english.score(2.5), "2.5");
    EXPECT_EQ(english.score(3), "3.0");
    EXPECT_EQ(english.score(1234.5), "1,234.5");
    EXPECT_EQ(english.percent(0.0345), "3.45%");
    EXPECT_EQ(english.weight(0.5), "0.5");
    EXPECT_EQ(english.weight(3), "3");
    EXPECT_EQ(english.weight(1000000), "1000000");
    EXPECT_EQ(english.weight(0.1 + 0.2), "0.3");
    EXPECT_DOUBLE_EQ(english.readPercent("%"), 0);
    EXPECT_DOUBLE_EQ(english.readPercent("3.45%"), 3.45);
    EXPECT_DOUBLE_EQ(english.readPercent("1,234.50%"), 1234.5);
    EXPECT_DOUBLE_EQ(english.readScore("1,234.5"), 1234.5);

    const CaptionNumbers german(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(german.score(1234.5), "1.234,5");
    EXPECT_EQ(german.percent(0.0345), "3,45%");
    EXPECT_EQ(german.weight(0.5), "0,5");
    EXPECT_DOUBLE_EQ(german.readPercent("3,45%"), 3.45);
    EXPECT_DOUBLE_EQ(german.readScore("1.234,5"), 1234.5);
}

// The scan adds every weight to the value the score caption reads back as; it computes that value without
// writing the caption, and must land on the same double, the sign of a zero included. Its outcome carries
// that value, and every face writes the caption again from it: the same text.
TEST(CaptionNumbers, ScoreReadBackIsWhatTheCaptionReadsAs)
{
    const CaptionNumbers numbers(QLocale(QLocale::English, QLocale::UnitedStates));
    const CaptionNumbers german(QLocale(QLocale::German, QLocale::Germany));
    std::vector<double> values = {0.0,        -0.0,   0.04,   -0.04, 0.05, -0.05, 0.25,
                                  -0.25,      0.35,   2.45,   -2.45, 1e14, -1e14, 99999999999999.95,
                                  123456.789, 1e-300, -1e-300};
    std::mt19937_64 random(1208);
    for (int i = 0; i < 100000; ++i) {
        // Sums of one-decimal weights land on and next to halves of a tenth.
        const double half = double(std::int64_t(random() % 2000001) - 1000000) / 20.0;
        values.push_back(half);
        values.push_back(std::nextafter(half, 1e300));
        values.push_back(std::nextafter(half, -1e300));
        values.push_back(std::ldexp(double(random() >> 11), -int(random() % 80)) * (random() % 2 ? 1 : -1));
    }
    for (const double value : values) {
        const double caption = numbers.readScore(numbers.score(value));
        ASSERT_EQ(std::bit_cast<quint64>(numbers.scoreReadBack(value)), std::bit_cast<quint64>(caption))
            << "value " << std::setprecision(17) << value << " shows as " << numbers.score(value).toStdString();
        for (const CaptionNumbers* locale : {&numbers, &german}) {
            ASSERT_EQ(locale->shownScore(locale->scoreReadBack(value)), locale->score(value))
                << "value " << std::setprecision(17) << value;
            // A percentage is the score per character; its value is a fraction of the score's.
            const double fraction = value / 4096;
            ASSERT_EQ(locale->shownPercentage(locale->percentReadBack(fraction)), locale->percent(fraction))
                << "fraction " << std::setprecision(17) << fraction;
        }
    }
}
