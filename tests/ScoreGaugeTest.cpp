#include "ScoreGauge.h"
#include "CaptionNumbers.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

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
