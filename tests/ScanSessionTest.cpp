#include "scanner/ScanSession.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace {

const QLocale English(QLocale::English, QLocale::UnitedStates);

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
            stops.append(stop());
        }
        return stops;
    }

    const ScanOutcome& outcome() const { return session.outcome(); }
    const Occurrence& stop() const { return *session.outcome().lastOccurrence; }

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
        EXPECT_EQ(scanner.outcome().phase, ScanPhase::Ready);
        EXPECT_FALSE(scanner.outcome().gauge.has_value());
    }

    SCOPED_TRACE("a paused scan stays paused");
    ASSERT_EQ(scanner.session.press("", "free free", true).kind, PressOutcome::Kind::Stopped);
    EXPECT_EQ(scanner.session.press(" ", "", true).kind, PressOutcome::Kind::EmptyInput);
    EXPECT_TRUE(scanner.session.isPaused());
    EXPECT_EQ(scanner.outcome().phase, ScanPhase::Stopped);
    EXPECT_EQ(scanner.outcome().score, 1.0);
}

TEST(ScanSession, NothingFoundPasses)
{
    Scanner scanner({{"free", 1}});
    const PressOutcome outcome = scanner.scan("Minutes", "The meeting is on Monday.");
    EXPECT_EQ(outcome.kind, PressOutcome::Kind::Finished);
    EXPECT_EQ(outcome.handled, 0);
    EXPECT_FALSE(scanner.outcome().score.has_value());
    EXPECT_FALSE(scanner.outcome().percentage.has_value());
    EXPECT_TRUE(scanner.outcome().phrases.phrases().isEmpty());
    EXPECT_EQ(scanner.outcome().verdict, Verdict::Pass);
    EXPECT_EQ(scanner.outcome().phase, ScanPhase::Finished);
    EXPECT_EQ(scanner.outcome().gauge, (GaugeWidths {0, 0, 0}));
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
        EXPECT_EQ(scanner.stop().position, c.position);
        EXPECT_EQ(scanner.stop().pane, c.pane);
        EXPECT_EQ(scanner.stop().start, c.start);
        EXPECT_EQ(scanner.stop().length, 4);
    }
}

TEST(ScanSession, CountsTheFirstOccurrenceAndTenSpaceSeparatedOnes)
{
    struct Case
    {
        const char* name;
        QString body;
        double score;
    };
    const std::vector<Case> cases = {
        {"inside a word first, then only with a space on both sides", "freedom free free.", 2},
        {"next to punctuation or a line break does not count", "free (free) free\nfree", 1},
        {"at the very end of the body does not count", "free x free", 1},
        {"at most eleven", repeated("free", 15) + " end", 11},
        {"fewer than eleven", repeated("free", 4) + " end", 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Scanner scanner({{"free", 1}});
        scanner.scan("", c.body);
        EXPECT_EQ(scanner.outcome().score, c.score);
    }

    SCOPED_TRACE("the next phrase is searched from the start again");
    Scanner scanner({{"free", 1}, {"start", 10}});
    const PressOutcome outcome = scanner.scan("", "start " + repeated("free", 15) + " end");
    EXPECT_EQ(scanner.outcome().score, 21.0);
    EXPECT_EQ(outcome.handled, 12);
    EXPECT_EQ(scanner.stop().phrase, "start");
    EXPECT_EQ(scanner.stop().position, 121);
}

TEST(ScanSession, CapitalsCountTwice)
{
    struct Case
    {
        const char* name;
        TriggerPhrase entry;
        QString body;
        double score;
        bool inCapitals;
        double weightAdded;
    };
    const std::vector<Case> cases = {
        {"capitals", {"free", 1}, "FREE", 2, true, 2},
        {"mixed case", {"free", 1}, "Free", 1, false, 1},
        {"a space is no capital", {"act now", 1.5}, "ACT NOW", 1.5, false, 1.5},
        {"digits are no capitals", {"x1", 0.5}, "X1", 0.5, false, 0.5},
        {"a letter beyond A to Z is no capital", {"\u00e4b", 1}, "\u00c4B", 1, false, 1},
        {"the text decides, not the table's phrase", {"FrEe", 2.5}, "FREE", 5, true, 5},
        {"a phrase's letter that folds to one of A to Z", {"\u212aeep", 1}, "KEEP", 2, true, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Scanner scanner({c.entry});
        ASSERT_EQ(scanner.session.press("", c.body, true).kind, PressOutcome::Kind::Stopped);
        EXPECT_EQ(scanner.outcome().score, c.score);
        EXPECT_EQ(scanner.stop().inCapitals, c.inCapitals);
        EXPECT_EQ(scanner.stop().weightAdded, c.weightAdded);
        EXPECT_EQ(scanner.stop().phrase, c.entry.phrase);
    }
}

TEST(ScanSession, PhraseListSkipsPhrasesAlreadyContainedInIt)
{
    Scanner scanner({{"free money", 2}, {"free", 1}, {"FREE", 1}, {"offer", 1}, {"absent", 1}});
    scanner.scan("", "free money offer");
    EXPECT_EQ(scanner.outcome().phrases.phrases(), (QStringList {"free money", "offer"}));
    EXPECT_EQ(scanner.outcome().score, 5.0);
}

TEST(ScanSession, PercentageAndVerdict)
{
    struct Case
    {
        const char* name;
        double weight;
        qsizetype length;
        double percentage;
        Verdict verdict;
    };
    const std::vector<Case> cases = {
        {"score 4 over 300 characters", 4, 300, 1.6, Verdict::Questionable},
        {"score 4 over 60 characters: the percentage decides", 4, 60, 8, Verdict::Fail},
        {"score 2 over 1000 characters", 2, 1000, 0.24, Verdict::Pass},
        {"score just below 3", 2.9, 1000, 0.35, Verdict::Pass},
        {"score exactly 3", 3, 1000, 0.36, Verdict::Questionable},
        {"score exactly 5", 5, 1000, 0.6, Verdict::Fail},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Scanner scanner({{"zq", c.weight}});
        // The subject counts with its own length, not the 120 columns it takes in the scan text.
        const QString subject = "ab";
        const QString body = "zq" + QString(c.length - 4, u'.');
        scanner.scan(subject, body);
        EXPECT_EQ(scanner.outcome().percentage, c.percentage);
        EXPECT_EQ(scanner.outcome().verdict, c.verdict);
    }
}

TEST(ScanSession, ScoreIsRoundedAtEveryAddition)
{
    Scanner scanner({{"a", 0.04}, {"b", 0.04}, {"c", 0.04}, {"d", 0.04}, {"e", 0.06}});
    const PressOutcome outcome = scanner.scan("", "a b c d e");
    EXPECT_EQ(outcome.handled, 5);
    // Each 0.04 is added to the shown "0.0" and shows as "0.0" again; only the 0.06 lifts it. The exact
    // sum, 0.22, would show as "0.2".
    EXPECT_EQ(scanner.outcome().score, 0.1);
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
    EXPECT_EQ(scanner.outcome().score, 6.0);
    EXPECT_EQ(scanner.outcome().verdict, Verdict::Fail);
    EXPECT_FALSE(scanner.session.isPaused());

    Scanner plain({{"free", 1}, {"gift", 2}});
    plain.scan("Free", body);
    EXPECT_EQ(plain.outcome().score, 4.0);
}

TEST(ScanSession, StepThroughStateBetweenPresses)
{
    Scanner scanner({{"free", 1}, {"gift", 2}});
    PressOutcome outcome = scanner.session.press("", "free gift free", true);
    ASSERT_EQ(outcome.kind, PressOutcome::Kind::Stopped);
    EXPECT_EQ(scanner.session.stepIndex(), 0);
    EXPECT_EQ(scanner.session.matchPos(), 121);
    EXPECT_EQ(scanner.outcome().phase, ScanPhase::Stopped);
    EXPECT_FALSE(scanner.outcome().verdict.has_value());
    // One point over 14 characters is 8.57 %, which fills the gauge.
    EXPECT_EQ(scanner.outcome().percentage, 8.57);
    EXPECT_EQ(scanner.outcome().gauge, (GaugeWidths {94, 125, 157}));

    SCOPED_TRACE("a resumed press keeps the score and the list and goes on after the stop");
    outcome = scanner.session.press("", "free gift free", true);
    EXPECT_EQ(scanner.stop().start, 10);
    EXPECT_EQ(scanner.outcome().score, 2.0);
    EXPECT_EQ(scanner.outcome().phrases.phrases(), QStringList {"free"});

    SCOPED_TRACE("switching Step Through off runs the rest to the end");
    outcome = scanner.session.press("", "free gift free", false);
    EXPECT_EQ(outcome.kind, PressOutcome::Kind::Finished);
    EXPECT_EQ(scanner.outcome().score, 4.0);
    EXPECT_EQ(scanner.outcome().phrases.phrases(), (QStringList {"free", "gift"}));
    EXPECT_EQ(scanner.session.stepIndex(), 0);
    EXPECT_EQ(scanner.session.matchPos(), 0);
    EXPECT_EQ(scanner.outcome().phase, ScanPhase::Finished);
}

TEST(ScanSession, ResumesOnTheTextsAsTheyStandAfterAClear)
{
    Scanner scanner({{"free", 1}, {"gift", 2}});
    ASSERT_EQ(scanner.session.press("", "a free gift", true).kind, PressOutcome::Kind::Stopped);

    // Clearing the body resets the results but not the walk's position.
    scanner.session.clearResults();
    EXPECT_TRUE(scanner.session.isPaused());
    EXPECT_FALSE(scanner.outcome().lastOccurrence.has_value());

    const PressOutcome outcome = scanner.session.press("", "free again, then a gift", true);
    ASSERT_EQ(outcome.kind, PressOutcome::Kind::Stopped);
    // The search for "free" goes on after the stop's position (123), so the body's leading "free" is passed.
    EXPECT_EQ(scanner.stop().phrase, "gift");
    EXPECT_EQ(scanner.stop().start, 19);
    EXPECT_EQ(scanner.outcome().score, 2.0);
}

TEST(ScanSession, TablesWithoutPhrasesScanNothing)
{
    Scanner scanner({});
    EXPECT_EQ(scanner.session.table().size(), 1);
    const PressOutcome outcome = scanner.scan("Subject", "Body");
    EXPECT_EQ(outcome.kind, PressOutcome::Kind::Finished);
    EXPECT_EQ(outcome.handled, 0);
    EXPECT_FALSE(scanner.outcome().lastOccurrence.has_value());
    EXPECT_EQ(scanner.outcome().verdict, Verdict::Pass);
}

TEST(ScanSession, NegativeWeightsGiveNoGauge)
{
    Scanner scanner({{"thanks", -2}});
    scanner.scan("", "thanks");
    EXPECT_EQ(scanner.outcome().score, -2.0);
    EXPECT_EQ(scanner.outcome().verdict, Verdict::Pass);
    EXPECT_EQ(scanner.outcome().gauge, (GaugeWidths {0, 0, 0}));
}
