#include "QtPrinters.h"
#include "ScanInProcess.h"
#include "TemporaryFiles.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <map>

namespace {

const QString SmallDefinitions = QStringLiteral(TALLYVEX_TEST_DATA "/small.dat");

QJsonObject jsonOf(const ScanRun& run)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(run.out.toUtf8(), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << run.out.toStdString();
    return document.object();
}

QJsonObject scanJson(const QStringList& arguments, const QByteArray& input, const QLocale& locale = ScanEnglish)
{
    return jsonOf(scanInProcess(QStringList {"--json", "-d", SmallDefinitions} + arguments, input, locale));
}

} // namespace

TEST(ScanCommand, ExitStatusFollowsTheVerdictAndTheFaults)
{
    struct Case
    {
        const char* name;
        QStringList arguments;
        QByteArray input;
        int exitCode;
        QString errContains;
    };
    const std::vector<Case> cases = {
        {"pass", {"-d", SmallDefinitions, "-"}, "Dear Anna, the minutes are attached.", 0, ""},
        {"questionable", {"-d", SmallDefinitions, "-s", "free"}, QByteArray(500, 'x') + " free free", 1, ""},
        {"fail", {"-d", SmallDefinitions}, "Act now! free free free", 2, ""},
        {"empty message",
         {"-d", SmallDefinitions, "-s", "   "},
         "   ",
         64,
         "You must enter a copy of your email into the Tallyvex"},
        {"unknown option", {"--frobnicate"}, "", 64, "frobnicate"},
        {"unknown format", {"-d", SmallDefinitions, "--format", "xml"}, "free", 64, "--format takes"},
        {"definitions fault",
         {"-d", TALLYVEX_TEST_DATA "/bad-weight.dat"},
         "free",
         65,
         "bad-weight.dat, line 3: the weight \"lots\" is not a number"},
        {"definitions missing",
         {"-d", "/nonexistent/Definitions.dat"},
         "free",
         66,
         "/nonexistent/Definitions.dat: the file cannot be opened"},
        {"body file missing", {"-d", SmallDefinitions, "/nonexistent/body.txt"}, "", 66, "/nonexistent/body.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ScanRun run = scanInProcess(c.arguments, c.input);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(c.errContains)) << run.err.toStdString();
    }
}

// The program itself: the body from standard input, the results on standard output, the verdict as exit status.
TEST(ScanCommand, PrintsResultsForPeople)
{
    const ScanRun run = runScan({"-d", SmallDefinitions, "-s", "FREE offer"}, "Please act now.\r\nclick here");
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out,
              "Verdict: Fail\n"
              "Overall Score: 6.0\n"
              "Overall Percentage: 20.00%\n"
              "Trigger Phrases:\n"
              "  free\n"
              "  act now\n"
              "  click here\n"
              "Occurrences:\n"
              "  'free' - (Bold) 3 (subject, start 0, length 4)\n"
              "  'act now' - 2.5 (body, start 7, length 7)\n"
              "  'click here' - 0.5 (body, start 16, length 10)\n");
}

TEST(ScanCommand, JsonReportsEveryOccurrence)
{
    const QJsonObject report = scanJson({"-s", "Free"}, "act now, free free.");
    EXPECT_EQ(report["verdict"].toString(), "Fail");
    EXPECT_EQ(report["score"].toString(), "5.5");
    EXPECT_EQ(report["percentage"].toString(), "28.70%");
    EXPECT_EQ(report["phrases"].toArray(), (QJsonArray {"free", "act now"}));
    EXPECT_EQ(report["gauge"].toArray(), (QJsonArray {94, 125, 157}));
    EXPECT_EQ(report["definitions"].toObject()["path"].toString(), SmallDefinitions);
    EXPECT_EQ(report["definitions"].toObject()["phrases"].toInt(), 3);

    const QJsonArray occurrences = report["occurrences"].toArray();
    ASSERT_EQ(occurrences.size(), 3);
    EXPECT_EQ(occurrences[0].toObject(),
              (QJsonObject {{"phrase", "free"},
                            {"text", "'free' - 1.5"},
                            {"bold", false},
                            {"position", 1},
                            {"pane", "subject"},
                            {"start", 0},
                            {"length", 4},
                            {"suggestions", QJsonArray {}}}));
    // The padded search matches " free " from its leading space; the phrase starts one later.
    EXPECT_EQ(occurrences[1].toObject()["position"].toInt(), 130);
    EXPECT_EQ(occurrences[1].toObject()["pane"].toString(), "body");
    EXPECT_EQ(occurrences[1].toObject()["start"].toInt(), 9);
    EXPECT_EQ(occurrences[2].toObject()["phrase"].toString(), "act now");
}

// The plainer wordings beside the definitions reach every report of a template: as suggestions in JSON, as
// fixes in SARIF where the phrase stands in the page as it reads (not in the title, not across collapsed
// white space), as a note after the warning in the compilers' format.
TEST(ScanCommand, PlainerWordingsInJsonSarifAndGccReports)
{
    QTemporaryDir dir;
    QFile::copy(SmallDefinitions, dir.filePath("Definitions.dat"));
    writeFile(dir, "Alternatives.dat", "h\t1\r\nact now\treply soon\t(remove)\r\nclick here\tsee the link\r\n");
    const QString page
        = writeFile(dir, "offer.html",
                    "<html><head><title>Act now</title></head><body>\n"
                    "<p>Hi, act now &amp; click here.</p>\n<p>So act   now or never</p></body></html>\n");
    const auto scan = [&](const char* format) {
        return scanInProcess({"--format", format, "-d", dir.filePath("Definitions.dat"), page});
    };

    const QJsonArray occurrences = jsonOf(scan("json"))["occurrences"].toArray();
    ASSERT_EQ(occurrences.size(), 4);
    // The title's "Act now" starts a sentence: its wordings start with a capital as well.
    const std::map<QString, QJsonArray> suggestions {{"subject act now", {"Reply soon", ""}},
                                                     {"body act now", {"reply soon", ""}},
                                                     {"body click here", {"see the link"}}};
    for (const QJsonValue& occurrence : occurrences) {
        const QString key = occurrence["pane"].toString() + u' ' + occurrence["phrase"].toString();
        EXPECT_EQ(occurrence["suggestions"].toArray(), suggestions.at(key)) << key.toStdString();
    }

    struct Fix
    {
        QString phrase;
        qsizetype line;
        qsizetype startColumn;
        qsizetype endColumn;
        QStringList inserted;
    };
    std::vector<Fix> fixes;
    const QJsonDocument sarif = QJsonDocument::fromJson(scan("sarif").out.toUtf8());
    for (const QJsonValue& result : sarif["runs"][0]["results"].toArray()) {
        for (const QJsonValue& fix : result["fixes"].toArray()) {
            const QJsonValue change = fix["artifactChanges"][0];
            EXPECT_EQ(change["artifactLocation"]["uri"].toString(),
                      result["locations"][0]["physicalLocation"]["artifactLocation"]["uri"].toString());
            const QJsonValue replacement = change["replacements"][0];
            const QJsonValue region = replacement["deletedRegion"];
            EXPECT_EQ(region["endLine"].toInteger(), region["startLine"].toInteger());
            const QString phrase = result["message"]["text"].toString().section(u'\'', 1, 1);
            if (fixes.empty() || fixes.back().startColumn != region["startColumn"].toInteger())
                fixes.push_back({phrase,
                                 region["startLine"].toInteger(),
                                 region["startColumn"].toInteger(),
                                 region["endColumn"].toInteger(),
                                 {}});
            fixes.back().inserted << (replacement["insertedContent"].isObject()
                                          ? replacement["insertedContent"]["text"].toString()
                                          : QStringLiteral("(removed)"));
        }
    }
    ASSERT_EQ(fixes.size(), 2);
    EXPECT_EQ(fixes[0].phrase, "act now");
    EXPECT_EQ((std::tuple(fixes[0].line, fixes[0].startColumn, fixes[0].endColumn)), std::tuple(2, 8, 15));
    EXPECT_EQ(fixes[0].inserted, QStringList({"reply soon", "(removed)"}));
    EXPECT_EQ(fixes[1].phrase, "click here");
    EXPECT_EQ((std::tuple(fixes[1].line, fixes[1].startColumn, fixes[1].endColumn)), std::tuple(2, 22, 32));
    EXPECT_EQ(fixes[1].inserted, QStringList({"see the link"}));

    const QStringList gcc = scan("gcc").out.split(u'\n');
    const qsizetype warning = gcc.indexOf(page + ":2:22: warning: trigger phrase 'click here' (weight 0.5)");
    ASSERT_GE(warning, 0) << scan("gcc").out.toStdString();
    EXPECT_EQ(gcc.value(warning + 1), page + ":2:22: note: write 'see the link' instead");
    EXPECT_TRUE(gcc.contains(page + ":2:8: note: write 'reply soon' instead"));
}

TEST(ScanCommand, StepThroughListsEveryStop)
{
    const QJsonObject plain = scanJson({}, "freebie, free. free");
    const QJsonObject stepped = scanJson({"--step"}, "freebie, free. free");
    EXPECT_EQ(plain["occurrences"].toArray().size(), 1);
    EXPECT_EQ(stepped["occurrences"].toArray().size(), 3);
    EXPECT_EQ(stepped["score"].toString(), "4.5");

    const ScanRun run = scanInProcess({"-d", SmallDefinitions, "--step"}, "free free");
    EXPECT_TRUE(run.out.contains("Stops:\n  'free' - 1.5 (body, start 0, length 4)\n"
                                 "  'free' - 1.5 (body, start 5, length 4)\n"))
        << run.out.toStdString();
}

TEST(ScanCommand, ReadsTheBodyAsTheBodyBoxWould)
{
    SCOPED_TRACE("CR LF and lone CR become one LF each");
    const QJsonObject lineBreaks = scanJson({}, "a\r\nb\rfree");
    ASSERT_EQ(lineBreaks["occurrences"].toArray().size(), 1);
    EXPECT_EQ(lineBreaks["occurrences"].toArray()[0].toObject()["start"].toInt(), 4);
    EXPECT_EQ(lineBreaks["percentage"].toString(), "22.50%");

    SCOPED_TRACE("invalid UTF-8 becomes replacement characters");
    const QJsonObject invalid = scanJson({}, "\xc0\xff free \xc3");
    ASSERT_EQ(invalid["occurrences"].toArray().size(), 1);
    EXPECT_EQ(invalid["occurrences"].toArray()[0].toObject()["start"].toInt(), 3);

    SCOPED_TRACE("the subject is cut to 120 characters, which changes the percentage");
    const QString longSubject = QString(115, u'x') + " free " + QString(100, u'y');
    const QJsonObject cut = scanJson({"-s", longSubject}, "body");
    const QJsonObject asCut = scanJson({"-s", longSubject.left(120)}, "body");
    ASSERT_EQ(cut["occurrences"].toArray().size(), 1);
    EXPECT_EQ(cut["percentage"], asCut["percentage"]);
    EXPECT_EQ(cut["score"], asCut["score"]);

    SCOPED_TRACE("a body file");
    QTemporaryDir dir;
    QFile body(dir.filePath("body.txt"));
    ASSERT_TRUE(body.open(QIODevice::WriteOnly));
    body.write("Act now");
    body.close();
    EXPECT_EQ(scanJson({body.fileName()}, {})["score"].toString(), "2.5");
}

// The program takes the locale from its environment; the command class from its caller.
TEST(ScanCommand, CaptionsFollowTheUsersLocale)
{
    const QStringList arguments {"--json", "-d", SmallDefinitions};
    const std::vector<std::pair<const char*, QJsonObject>> reports = {
        {"the program under LC_ALL", jsonOf(runScan(arguments, "act now", "de_DE.UTF-8"))},
        {"the command given the locale",
         jsonOf(scanInProcess(arguments, "act now", QLocale(QLocale::German, QLocale::Germany)))},
    };
    for (const auto& [name, report] : reports) {
        SCOPED_TRACE(name);
        EXPECT_EQ(report["score"].toString(), "2,5");
        ASSERT_EQ(report["occurrences"].toArray().size(), 1);
        EXPECT_EQ(report["occurrences"].toArray()[0].toObject()["text"].toString(), "'act now' - 2,5");
    }
}

TEST(ScanCommand, HelpAndVersion)
{
    const ScanRun help = scanInProcess({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains("--definitions")) << help.out.toStdString();
    EXPECT_TRUE(help.out.contains("Exit status"));
    const ScanRun version = scanInProcess({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "tallyvex-scan 1.2.0.11\n");
}

TEST(ScanCommand, SampleMessagesGetTheirVerdicts)
{
    for (const auto& [file, status] :
         std::vector<std::pair<QString, int>> {{"legitimate.txt", 0}, {"unsolicited.txt", 2}}) {
        SCOPED_TRACE(file.toStdString());
        QFile message(QStringLiteral(TALLYVEX_SOURCE_DIR "/examples/") + file);
        ASSERT_TRUE(message.open(QIODevice::ReadOnly));
        const QString subject = QString::fromUtf8(message.readLine()).trimmed().remove(0, 9);
        message.readLine();
        const ScanRun run
            = scanInProcess({"-d", TALLYVEX_SOURCE_DIR "/resources/Definitions.dat", "-s", subject}, message.readAll());
        EXPECT_EQ(run.exitCode, status) << run.out.toStdString();
    }
}
