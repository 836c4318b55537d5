#include "scanner/ScanSession.h"
#include "scanner/Captions.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace {

const QLocale English(QLocale::English, QLocale::UnitedStates);
const QLocale German(QLocale::German, QLocale::Germany);

PhraseTable tableOf(std::initializer_list<TriggerPhrase> entries)
{
    PhraseTable table;
    for (const TriggerPhrase& entry : entries) {
        table.storePhrase(entry.phrase);
        table.setLastWeight(entry.weight);
    }
    return table;
}

struct Scanner
{
    explicit Scanner(std::initializer_list<TriggerPhrase> entries, const QLocale& locale = English)
        : session(locale)
    {
        session.setDefinitions(tableOf(entries));
    }

    PressOutcome scan(const QString& subject, const QString& body) { return session.press(subject, body, false); }

    // Presses with Step Through until the scan ends; returns every stop.
    QList<Occurrence> walk(const QString& subject, const QString& body)
    {
        QList<Occurrence> stops;
        for (PressOutcome outcome = session.press(subject, body, true); outcome.kind == PressOutcome::Kind::Stopped;
             outcome = session.press(subject, body, true)) {
            EXPECT_EQ(outcome.handled, 1);
            stops.append(outcome.stop());
        }
        return stops;
    }

    const ScanResults& results() const { return session.results(); }

    ScanSession session;
};

QString repeated(const QString& word, int times)
{
    QStringList words;
    for (int i = 0; i < times; ++i)
        words.append(word);
    return words.join(u' ');
}

} // namespace

TEST(ScanSession, EmptyInputChangesNothing)
{
    Scanner scanner({{"free", 1}});
    for (const auto& [subject, body] : std::vector<std::pair<QString, QString>> {{"", ""}, {"   ", "  "}}) {
        const PressOutcome outcome = scanner.scan(subject, body);
        EXPECT_EQ(outcome.kind, PressOutcome::Kind::EmptyInput);
        EXPECT_EQ(scanner.results().score(), "0");
        EXPECT_EQ(scanner.results().status(), Captions::StatusReady);
        EXPECT_FALSE(scanner.results().gauge().has_value());
    }

    SCOPED_TRACE("a paused scan stays paused");
    ASSERT_EQ(scanner.session.press("", "free free", true).kind, PressOutcome::Kind::Stopped);
    EXPECT_EQ(scanner.session.press(" ", "", true).kind, PressOutcome::Kind::EmptyInput);
    EXPECT_TRUE(scanner.session.isPaused());
    EXPECT_EQ(scanner.results().scanButton(), Captions::NextButton);
    EXPECT_EQ(scanner.results().score(), "1.0");
}

TEST(ScanSession, NothingFoundPasses)
{
    Scanner scanner({{"free", 1}});
    const PressOutcome outcome = scanner.scan("Minutes", "The meeting is on Monday.");
    EXPECT_EQ(outcome.kind, PressOutcome::Kind::Finished);
    EXPECT_EQ(outcome.handled, 0);
    EXPECT_EQ(scanner.results().score(), "0.0");
    EXPECT_EQ(scanner.results().percent(), "%");
    EXPECT_EQ(scanner.results().phrases(), "");
    EXPECT_EQ(scanner.results().passFail(), "Pass");
    EXPECT_EQ(scanner.results().status(), Captions::StatusFinished);
    EXPECT_EQ(scanner.results().scanButton(), Captions::ScanButton);
    EXPECT_EQ(scanner.results().gauge(), (GaugeWidths {0, 0, 0}));
}

TEST(ScanSession, PositionsInTheSubjectAndTheBody)
{
    struct Case
    {
        const char* name;
        QString subject;
        QString body;
        qsizetype position;
        Pane pane;
        qsizetype start;
    };
    const QString subject120 = QString(119, u'x') + u'f';
    const std::vector<Case> cases = {
        {"body only: the subject area is 120 spaces", "", "free gift", 121, Pane::Body, 0},
        {"in the subject", "Get it free", "hello", 8, Pane::Subject, 7},
        {"starting at the subject's 120th character", subject120, "ree", 120, Pane::Subject, 119},
        {"a subject of 120 characters runs straight into the body", QString(120, u's'), "free", 121, Pane::Body, 0},
        {"later in the body", "Hi", "one two free", 129, Pane::Body, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Scanner scanner({{"free", 1}});
        const PressOutcome outcome = scanner.session.press(c.subject, c.body, true);
        ASSERT_EQ(outcome.kind, PressOutcome::Kind::Stopped);
        EXPECT_EQ(outcome.stop().position, c.position);
        EXPECT_EQ(outcome.stop().pane, c.pane);
        EXPECT_EQ(outcome.stop().start, c.start);
        EXPECT_EQ(outcome.stop().length, 4);
    }
}

TEST(ScanSession, CountsTheFirstOccurrenceAndTenSpaceSeparatedOnes)
{
    struct Case
    {
        const char* name;
        QString body;
        QString score;
    };
    const std::vector<Case> cases = {
        {"inside a word first, then only with a space on both sides", "freedom free free.", "2.0"},
        {"next to punctuation or a line break does not count", "free (free) free\nfree", "1.0"},
        {"at the very end of the body does not count", "free x free", "1.0"},
        {"at most eleven", repeated("free", 15) + " end", "11.0"},
        {"fewer than eleven", repeated("free", 4) + " end", "4.0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Scanner scanner({{"free", 1}});
        scanner.scan("", c.body);
        EXPECT_EQ(scanner.results().score(), c.score);
    }

    SCOPED_TRACE("the next phrase is searched from the start again");
    Scanner scanner({{"free", 1}, {"start", 10}});
    const PressOutcome outcome = scanner.scan("", "start " + repeated("free", 15) + " end");
    EXPECT_EQ(scanner.results().score(), "21.0");
    EXPECT_EQ(outcome.handled, 12);
    EXPECT_EQ(outcome.stop().phrase, "start");
    EXPECT_EQ(outcome.stop().position, 121);
}

TEST(ScanSession, CapitalsCountTwice)
{
    struct Case
    {
        const char* name;
        TriggerPhrase entry;
        QString body;
        QString score;
        QString text;
        bool bold;
    };
    const std::vector<Case> cases = {
        {"capitals", {"free", 1}, "FREE", "2.0", "'free' - (Bold) 2", true},
        {"mixed case", {"free", 1}, "Free", "1.0", "'free' - 1", false},
        {"a space is no capital", {"act now", 1.5}, "ACT NOW", "1.5", "'act now' - 1.5", false},
        {"digits are no capitals", {"x1", 0.5}, "X1", "0.5", "'x1' - 0.5", false},
        {"the table's phrase is shown", {"FrEe", 2.5}, "FREE", "5.0", "'FrEe' - (Bold) 5", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Scanner scanner({c.entry});
        const PressOutcome outcome = scanner.session.press("", c.body, true);
        ASSERT_EQ(outcome.kind, PressOutcome::Kind::Stopped);
        EXPECT_EQ(scanner.results().score(), c.score);
        EXPECT_EQ(scanner.results().passFail(), c.text);
        EXPECT_EQ(outcome.stop().text, c.text);
        EXPECT_EQ(outcome.stop().bold, c.bold);
    }

    EXPECT_TRUE(isAllCaps(u""));
    EXPECT_TRUE(isAllCaps(u"ABCXYZ"));
    EXPECT_FALSE(isAllCaps(u"ÄB"));
    EXPECT_FALSE(isAllCaps(u"AbC"));
}

TEST(ScanSession, PhraseListSkipsPhrasesAlreadyContainedInIt)
{
    Scanner scanner({{"free money", 2}, {"free", 1}, {"FREE", 1}, {"offer", 1}, {"absent", 1}});
    scanner.scan("", "free money offer");
    EXPECT_EQ(scanner.results().phrases(), "free money\r\noffer\r\n");
    EXPECT_EQ(scanner.results().score(), "5.0");
}

TEST(ScanSession, PercentageAndVerdict)
{
    struct Case
    {
        const char* name;
        double weight;
        qsizetype length;
        QString percent;
        QString verdict;
    };
    const std::vector<Case> cases = {
        {"score 4 over 300 characters", 4, 300, "1.60%", "Questionable"},
        {"score 4 over 60 characters: the percentage decides", 4, 60, "8.00%", "Fail"},
        {"score 2 over 1000 characters", 2, 1000, "0.24%", "Pass"},
        {"score just below 3", 2.9, 1000, "0.35%", "Pass"},
        {"score exactly 3", 3, 1000, "0.36%", "Questionable"},
        {"score exactly 5", 5, 1000, "0.60%", "Fail"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Scanner scanner({{"zq", c.weight}});
        // The subject counts with its own length, not the 120 columns it takes in the scan text.
        const QString subject = "ab";
        const QString body = "zq" + QString(c.length - 4, u'.');
        scanner.scan(subject, body);
        EXPECT_EQ(scanner.results().percent(), c.percent);
        EXPECT_EQ(scanner.results().passFail(), c.verdict);
    }
}

TEST(ScanSession, ScoreIsRoundedAtEveryAddition)
{
    Scanner scanner({{"a", 0.04}, {"b", 0.04}, {"c", 0.04}, {"d", 0.04}, {"e", 0.06}});
    const PressOutcome outcome = scanner.scan("", "a b c d e");
    EXPECT_EQ(outcome.handled, 5);
    // Each 0.04 is added to the shown "0.0" and shows as "0.0" again; only the 0.06 lifts it. The exact
    // sum, 0.22, would show as "0.2".
    EXPECT_EQ(scanner.results().score(), "0.1");
}

TEST(ScanSession, CaptionsFollowTheLocale)
{
    struct Case
    {
        QLocale locale;
        QString score;
        QString percent;
        QString lastText;
    };
    const std::vector<Case> cases = {
        {English, "1,234.5", "29,628.00%", "'big' - 1234.5"},
        {German, "1.234,5", "29.628,00%", "'big' - 1234,5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.locale.name().toStdString());
        Scanner scanner({{"big", 1234.5}}, c.locale);
        // Step Through reads the score back from its caption at every press.
        ASSERT_EQ(scanner.session.press("", "big. ", true).kind, PressOutcome::Kind::Stopped);
        EXPECT_EQ(scanner.results().score(), c.score);
        EXPECT_EQ(scanner.results().percent(), c.percent);
        EXPECT_EQ(scanner.results().passFail(), c.lastText);
        ASSERT_EQ(scanner.session.press("", "big. ", true).kind, PressOutcome::Kind::Finished);
        EXPECT_EQ(scanner.results().score(), c.score);
        EXPECT_EQ(scanner.results().passFail(), "Fail");
    }
}

TEST(ScanSession, StepThroughStopsAtEveryOccurrence)
{
    Scanner scanner({{"free", 1}, {"gift", 2}});
    const QString body = "freedom, free gift (free)";
    const QList<Occurrence> stops = scanner.walk("Free", body);

    const std::vector<std::pair<Pane, qsizetype>> expected
        = {{Pane::Subject, 0}, {Pane::Body, 0}, {Pane::Body, 9}, {Pane::Body, 20}, {Pane::Body, 14}};
    ASSERT_EQ(stops.size(), qsizetype(expected.size()));
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(stops[i].pane, expected[i].first);
        EXPECT_EQ(stops[i].start, expected[i].second);
    }
    // Every occurrence counts when stepping, also inside words and next to punctuation.
    EXPECT_EQ(scanner.results().score(), "6.0");
    EXPECT_EQ(scanner.results().passFail(), "Fail");
    EXPECT_FALSE(scanner.session.isPaused());

    Scanner plain({{"free", 1}, {"gift", 2}});
    plain.scan("Free", body);
    EXPECT_EQ(plain.results().score(), "4.0");
}

TEST(ScanSession, StepThroughStateBetweenPresses)
{
    Scanner scanner({{"free", 1}, {"gift", 2}});
    PressOutcome outcome = scanner.session.press("", "free gift free", true);
    ASSERT_EQ(outcome.kind, PressOutcome::Kind::Stopped);
    EXPECT_EQ(scanner.session.stepIndex(), 0);
    EXPECT_EQ(scanner.session.matchPos(), 121);
    EXPECT_EQ(scanner.results().scanButton(), Captions::NextButton);
    EXPECT_EQ(scanner.results().status(), Captions::StatusScanning);
    // One point over 14 characters is 8.57 %, which fills the gauge.
    EXPECT_EQ(scanner.results().gauge(), (GaugeWidths {94, 125, 157}));

    SCOPED_TRACE("a resumed press keeps the score and the list and goes on after the stop");
    outcome = scanner.session.press("", "free gift free", true);
    EXPECT_EQ(outcome.stop().start, 10);
    EXPECT_EQ(scanner.results().score(), "2.0");
    EXPECT_EQ(scanner.results().phrases(), "free\r\n");

    SCOPED_TRACE("switching Step Through off runs the rest to the end");
    outcome = scanner.session.press("", "free gift free", false);
    EXPECT_EQ(outcome.kind, PressOutcome::Kind::Finished);
    EXPECT_EQ(scanner.results().score(), "4.0");
    EXPECT_EQ(scanner.results().phrases(), "free\r\ngift\r\n");
    EXPECT_EQ(scanner.session.stepIndex(), 0);
    EXPECT_EQ(scanner.session.matchPos(), 0);
    EXPECT_EQ(scanner.results().scanButton(), Captions::ScanButton);
}

TEST(ScanSession, ResumesOnTheTextsAsTheyStandAfterAClear)
{
    Scanner scanner({{"free", 1}, {"gift", 2}});
    ASSERT_EQ(scanner.session.press("", "a free gift", true).kind, PressOutcome::Kind::Stopped);

    // Clearing the body resets the results but not the walk's position.
    scanner.session.clearResults();
    EXPECT_TRUE(scanner.session.isPaused());

    const PressOutcome outcome = scanner.session.press("", "free again, then a gift", true);
    ASSERT_EQ(outcome.kind, PressOutcome::Kind::Stopped);
    // The search for "free" goes on after the stop's position (123), so the body's leading "free" is passed.
    EXPECT_EQ(outcome.stop().phrase, "gift");
    EXPECT_EQ(outcome.stop().start, 19);
    EXPECT_EQ(scanner.results().score(), "2.0");
}

TEST(ScanSession, TablesWithoutPhrasesScanNothing)
{
    Scanner scanner({});
    EXPECT_EQ(scanner.session.phrases().size(), 1);
    const PressOutcome outcome = scanner.scan("Subject", "Body");
    EXPECT_EQ(outcome.kind, PressOutcome::Kind::Finished);
    EXPECT_EQ(outcome.handled, 0);
    EXPECT_FALSE(outcome.last.has_value());
    EXPECT_EQ(scanner.results().passFail(), "Pass");
}

TEST(ScanSession, NegativeWeightsGiveNoGauge)
{
    Scanner scanner({{"thanks", -2}});
    scanner.scan("", "thanks");
    EXPECT_EQ(scanner.results().score(), "-2.0");
    EXPECT_EQ(scanner.results().passFail(), "Pass");
    EXPECT_EQ(scanner.results().gauge(), (GaugeWidths {0, 0, 0}));
}
