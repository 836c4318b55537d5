#include "mainwindow/ResultCaptions.h"
#include "scanner/CaptionNumbers.h"
#include "scanner/ScanSession.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

// The window's captions of a session's outcome, press by press, in two locales.
TEST(ResultCaptions, ShowTheOutcomeAsTheWindowDoes)
{
    struct Case
    {
        QLocale locale;
        QString phrase;
        QString body;
        QString score;
        QString percent;
        QString stopCaption;
    };
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const QLocale german(QLocale::German, QLocale::Germany);
    // The caption shows the table's phrase; whether it counts twice is the text's.
    const std::vector<Case> cases = {
        {english, "big", "BIG. ", "2,469.0", "59,256.00%", "'big' - (Bold) 2469"},
        {german, "big", "BIG. ", "2.469,0", "59.256,00%", "'big' - (Bold) 2469"},
        {german, "Big", "big. ", "1.234,5", "29.628,00%", "'Big' - 1234,5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stopCaption.toStdString() + " " + c.locale.name().toStdString());
        const CaptionNumbers numbers(c.locale);
        ScanSession session(c.locale);
        PhraseTable table;
        table.storePhrase(c.phrase);
        table.setLastWeight(1234.5);
        session.setDefinitions(table);
        const QString& body = c.body;

        const ResultCaptions ready = ResultCaptions::of(session.outcome(), numbers);
        EXPECT_EQ(ready.status, "Enter your email content below");
        EXPECT_EQ(ready.scanButton, "Scan");

        ASSERT_EQ(session.press("", body, true).kind, PressOutcome::Kind::Stopped);
        const ResultCaptions stopped = ResultCaptions::of(session.outcome(), numbers);
        EXPECT_EQ(stopped.score, c.score);
        EXPECT_EQ(stopped.percent, c.percent);
        EXPECT_EQ(stopped.verdict, c.stopCaption);
        EXPECT_EQ(stopped.phrases, c.phrase + u'\n');
        EXPECT_EQ(stopped.status, "Scanning Email Content");
        EXPECT_EQ(stopped.scanButton, "Next");

        ASSERT_EQ(session.press("", body, true).kind, PressOutcome::Kind::Finished);
        const ResultCaptions finished = ResultCaptions::of(session.outcome(), numbers);
        EXPECT_EQ(finished.score, c.score);
        EXPECT_EQ(finished.verdict, "Fail");
        EXPECT_EQ(finished.status, "Finished Scanning");
        EXPECT_EQ(finished.scanButton, "Scan");

        session.clearResults();
        const ResultCaptions cleared = ResultCaptions::of(session.outcome(), numbers);
        // The idle captions are the same in every locale.
        EXPECT_EQ(cleared.score, "0.0");
        EXPECT_EQ(cleared.percent, "%");
        EXPECT_EQ(cleared.verdict, "");
        EXPECT_EQ(cleared.phrases, "");
        EXPECT_EQ(cleared.status, "Finished Scanning");
    }
}
