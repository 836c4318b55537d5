#include "QtPrinters.h"
#include "ScanInProcess.h"
#include "TemporaryFiles.h"

#include "cli/MessageFeed.h"
#include "cli/NativePath.h"
#include "cli/ProgressLine.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <map>

#include <fcntl.h>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString SmallDefinitions = QStringLiteral(TALLYVEX_TEST_DATA "/small.dat");
const QString Corpus = QStringLiteral(TALLYVEX_SOURCE_DIR "/../shared/corpus");

// Templates, drafts and a mailbox the way a team keeps them, with files the walk must pass by.
struct Campaign
{
    QTemporaryDir dir;
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    Campaign()
    {
        QDir(dir.path()).mkpath(QStringLiteral("b/deep"));
        writeFile(dir, "a.eml", "Subject: Click here\r\n\r\nHello,\r\nplease act now.\r\n");
        writeFile(dir, "b/1.html",
                  "<html><head><title>{{ title }}</title></head>\n<body><table><tr><td>\n"
                  "  <p>Hi {{ name }} &amp; *|FNAME|*,</p><p>get it <b>FREE</b> now,\n"
                  "  {% if vip %}act now{% endif %} %%first_name%%</p></td></tr></table></body></html>\n");
        writeFile(dir, "b/deep/x.htm", "<p>\xc3\xa9t\xc3\xa9 free</p>");
        writeFile(dir, "b/2.txt", "Dear friend,\n\n  act now and click here for free stuff\n");
        writeFile(dir, "c.png", "free free free");
        writeFile(dir, ".hidden.txt", "free");
        writeFile(dir, "d.eml",
                  "From a@example.com Mon Jan  1 10:00:00 2024\nSubject: free\n\nhello\n>From the desk\n\n"
                  "From b@example.com Mon Jan  1 10:01:00 2024\nSubject: news\n\nact now\n");
    }
};

ScanRun scan(const QStringList& arguments)
{
    return scanInProcess(QStringList {"-d", SmallDefinitions} + arguments);
}

QStringList lines(const QString& text)
{
    return text.split(u'\n', Qt::SkipEmptyParts);
}

// The text at a 1-based line and column (in code points) of a file.
QString textAt(const QString& file, qsizetype line, qsizetype column)
{
    QFile source(file);
    EXPECT_TRUE(source.open(QIODevice::ReadOnly));
    const QStringList sourceLines = QString::fromUtf8(source.readAll()).split(u'\n');
    if (line < 1 || line > sourceLines.size())
        return {};
    const QList<uint> points = sourceLines.at(line - 1).toUcs4();
    if (column < 1 || column > points.size())
        return {};
    const QList<uint> rest = points.sliced(column - 1);
    return QString::fromUcs4(reinterpret_cast<const char32_t*>(rest.constData()), rest.size());
}

} // namespace

TEST(BatchScanTest, WalksFoldersInNameOrderAndGoesOnPastBadInputs)
{
    const Campaign campaign;
    writeFile(campaign.dir, "b/3.eml", "no headers at all");
    writeFile(campaign.dir, "e.mbox",
              "From c@example.com Tue Jan  2 09:00:00 2024\nSubject: hi\n\nfree\n\n"
              "From d@example.com Tue Jan  2 09:05:00 2024\nSubject: news\n\nact now\n");
    const QString missing = campaign.path("missing.txt");

    const ScanRun run = scan({campaign.dir.path(), missing});
    QStringList reported;
    for (const QString& line : lines(run.out)) {
        if (line.startsWith(u"File: "))
            reported.append(line.sliced(6));
    }
    // b/3.eml cannot be read and has no block of its own.
    EXPECT_EQ(reported,
              (QStringList {campaign.path("a.eml"), campaign.path("b/1.html"), campaign.path("b/2.txt"),
                            campaign.path("b/deep/x.htm"), campaign.path("d.eml#1"), campaign.path("d.eml#2"),
                            campaign.path("e.mbox#1"), campaign.path("e.mbox#2")}));
    EXPECT_TRUE(lines(run.out).constLast().endsWith(u"; 2 could not be read")) << run.out.toStdString();
    EXPECT_TRUE(run.err.contains("Cannot read the message " + campaign.path("b/3.eml")));
    EXPECT_TRUE(run.err.contains("Cannot read " + missing));
    EXPECT_EQ(run.exitCode, 65) << "the first input that cannot be used gives the status";
}

TEST(BatchScanTest, ExitsWithTheWorstVerdictAsFailOnSays)
{
    const Campaign campaign;
    const ScanRun json = scan({"--json", campaign.dir.path()});
    int worst = 0;
    for (const QString& line : lines(json.out)) {
        const QString verdict = QJsonDocument::fromJson(line.toUtf8())["verdict"].toString();
        worst = std::max(worst, verdict == u"Pass" ? 0 : verdict == u"Questionable" ? 1 : 2);
    }
    ASSERT_GT(worst, 0) << "the campaign needs a message that does not pass";
    const std::map<QString, int> expected {{"questionable", worst}, {"fail", worst == 2 ? 2 : 0}, {"never", 0}};
    for (const auto& [failOn, status] : expected) {
        SCOPED_TRACE(failOn.toStdString());
        const ScanRun run = scan({"--quiet", "--fail-on", failOn, campaign.dir.path()});
        EXPECT_EQ(run.exitCode, status);
        EXPECT_EQ(lines(run.out).size(), 1) << "--quiet prints only the summary";
    }
    EXPECT_TRUE(scan({"--no-summary", campaign.dir.path()}).out.endsWith(u"\n\n"));
}

// FILE[#N][:LINE:COLUMN]: warning: ...
const QRegularExpression CompilerWarning(QStringLiteral(
    R"(^(.+?)(#\d+)?(?::(\d+):(\d+))?: warning: trigger phrase '(.+)'( in capitals)? \(weight ([0-9.]+)\)$)"));

TEST(BatchScanTest, CompilerLinesPointAtThePhraseInTheFile)
{
    const Campaign campaign;
    const ScanRun run = scan({"--format", "gcc", campaign.dir.path()});
    std::map<QString, int> perFile;
    for (const QString& line : lines(run.out)) {
        SCOPED_TRACE(line.toStdString());
        const QRegularExpressionMatch match = CompilerWarning.match(line);
        ASSERT_TRUE(match.hasMatch());
        const QString file = match.captured(1);
        ++perFile[file + match.captured(2)];
        const QString placed = textAt(file, match.captured(3).toInt(), match.captured(4).toInt());
        // Text files and templates: the phrase stands at the place given, in the file itself. Saved e-mails:
        // only the Subject header has a place; their decoded bodies and the messages of a mailbox have none.
        if (file.endsWith(u".eml"))
            EXPECT_TRUE(match.captured(3).isEmpty() || (match.captured(2).isEmpty() && placed.startsWith(u"Subject:")));
        else
            EXPECT_TRUE(placed.startsWith(match.captured(5), Qt::CaseInsensitive));
    }
    for (const char* file : {"a.eml", "b/1.html", "b/2.txt", "b/deep/x.htm", "d.eml#1", "d.eml#2"})
        EXPECT_GT(perFile[campaign.path(file)], 0) << file;
}

TEST(BatchScanTest, JsonLinesNameEachMessage)
{
    const Campaign campaign;
    const ScanRun run = scan({"--json", campaign.dir.path(), campaign.path("missing.eml")});
    QStringList names;
    for (const QString& line : lines(run.out)) {
        QJsonParseError error;
        const QJsonObject object = QJsonDocument::fromJson(line.toUtf8(), &error).object();
        ASSERT_EQ(error.error, QJsonParseError::NoError) << line.toStdString();
        const qsizetype number = object["message"]["number"].toInteger();
        names.append(object["file"].toString() + (number ? u'#' + QString::number(number) : QString()));
        EXPECT_TRUE(object.contains(u"verdict") != object.contains(u"error")) << line.toStdString();
    }
    EXPECT_EQ(names,
              (QStringList {campaign.path("a.eml"), campaign.path("b/1.html"), campaign.path("b/2.txt"),
                            campaign.path("b/deep/x.htm"), campaign.path("d.eml#1"), campaign.path("d.eml#2"),
                            campaign.path("missing.eml")}));
}

TEST(BatchScanTest, SarifLogHoldsEveryOccurrenceWithItsRule)
{
    const Campaign campaign;
    const ScanRun json = scan({"--json", campaign.dir.path()});
    qsizetype occurrences = 0;
    for (const QString& line : lines(json.out))
        occurrences += QJsonDocument::fromJson(line.toUtf8())["occurrences"].toArray().size();

    const ScanRun run = scan({"--format", "sarif", campaign.dir.path()});
    const QJsonObject sarifRun = QJsonDocument::fromJson(run.out.toUtf8())["runs"][0].toObject();
    const QJsonArray rules = sarifRun["tool"]["driver"]["rules"].toArray();
    const QJsonArray results = sarifRun["results"].toArray();
    EXPECT_EQ(results.size(), occurrences);
    for (const QJsonValue result : results) {
        const QJsonObject rule = rules.at(result["ruleIndex"].toInt()).toObject();
        EXPECT_EQ(result["ruleId"], rule["id"]);
        EXPECT_TRUE(result["message"]["text"].toString().contains(rule["properties"]["phrase"].toString()));
    }
    // Each result is placed where the compiler-style line of the same occurrence points, or, like it, nowhere.
    const QStringList warnings = lines(scan({"--format", "gcc", campaign.dir.path()}).out);
    ASSERT_EQ(warnings.size(), results.size());
    for (qsizetype i = 0; i < results.size(); ++i) {
        const QRegularExpressionMatch match = CompilerWarning.match(warnings.at(i));
        const QJsonObject location = results.at(i)["locations"][0]["physicalLocation"].toObject();
        EXPECT_TRUE(location["artifactLocation"]["uri"].toString().endsWith(match.captured(1).section(u'/', -2)));
        EXPECT_EQ(location.contains(u"region"), !match.captured(3).isEmpty()) << warnings.at(i).toStdString();
        EXPECT_EQ(location["region"]["startLine"].toInt(), match.captured(3).toInt());
        EXPECT_EQ(location["region"]["startColumn"].toInt(), match.captured(4).toInt());
    }
    EXPECT_EQ(sarifRun["properties"]["messages"].toArray().size(), lines(json.out).size());
}

TEST(BatchScanTest, OneThreadAndSeveralReportTheSame)
{
    const Campaign campaign;
    QStringList inputs {campaign.dir.path()};
    if (QDir(Corpus).exists())
        inputs.append(Corpus);
    else
        std::cout << "The real messages of ../shared/corpus are absent; only the test's own files are read.\n";
    for (const char* format : {"text", "json", "gcc", "sarif"}) {
        SCOPED_TRACE(format);
        const ScanRun one = scan(QStringList {"--format", format, "-j", "1"} + inputs);
        const ScanRun three = scan(QStringList {"--format", format, "-j", "3"} + inputs);
        EXPECT_FALSE(one.out.isEmpty());
        EXPECT_EQ(one.out, three.out);
        EXPECT_EQ(one.err, three.err);
        EXPECT_EQ(one.exitCode, three.exitCode);
    }
}

TEST(BatchScanTest, EmlOptionKeepsEverySpellingThatNamedItsFile)
{
    QTemporaryDir dir;
    // Named .txt, so only --eml makes it a saved e-mail.
    const QString message = writeFile(dir, "draft.txt", "Subject: free\r\n\r\nact now\r\n");
    const ScanRun flag = scan({"--json", message, "--eml"});
    ASSERT_EQ(flag.json()["message"].toObject()["part"].toString(), QStringLiteral("text/plain"))
        << flag.err.toStdString();
    for (const QStringList& spelling : {QStringList {"--eml", message}, QStringList {"--eml=" + message},
                                        QStringList {"-eml", message}, QStringList {"-eml=" + message}}) {
        SCOPED_TRACE(spelling.join(u' ').toStdString());
        const ScanRun run = scan(QStringList {"--json"} + spelling);
        EXPECT_EQ(run.out, flag.out);
        EXPECT_EQ(run.exitCode, flag.exitCode);
    }
}

namespace {

// A folder without permissions stops no one running as root: for the run, the calling thread then checks
// files as the user nobody does. The run reads on that thread alone (-j 1).
struct AccessAsNobody
{
    AccessAsNobody() { setfsuid(geteuid() == 0 ? 65534 : geteuid()); }
    ~AccessAsNobody() { setfsuid(geteuid()); }
};

// A chain of folders whose path grows past the system's limit, made one step at a time, a draft at its end.
void makeFoldersPastThePathLimit(const QString& top)
{
    int folder = open(QFile::encodeName(top).constData(), O_DIRECTORY);
    for (int depth = 0; depth < 24; ++depth) {
        const std::string name(200, 'd');
        mkdirat(folder, name.c_str(), 0755);
        const int inner = openat(folder, name.c_str(), O_DIRECTORY);
        close(std::exchange(folder, inner));
    }
    const int draft = openat(folder, "spam.txt", O_WRONLY | O_CREAT, 0644);
    EXPECT_EQ(write(draft, "free", 4), 4);
    close(draft);
    close(folder);
}

void writeBytesNamed(const QString& folder, const std::string& name, const char* bytes)
{
    std::ofstream(NativePath::encode(folder) / name) << bytes;
}

} // namespace

TEST(BatchScanTest, WalkFaultsAreReportedAndEveryFileFoundIsRated)
{
    struct Case
    {
        const char* name;
        std::function<void(const QString& drafts)> make;
        int status;
        // What standard output or error says, %1 standing for the folder.
        QString said;
    };
    const std::vector<Case> cases = {
        {"a folder that cannot be listed",
         [](const QString& drafts) {
             QDir(drafts).mkdir("locked");
             writeBytesNamed(drafts + "/locked", "spam.txt", "free");
             QFile::setPermissions(drafts + "/locked", {});
         },
         66, "Cannot read %1/locked: the folder cannot be listed (Permission denied)\n"},
        {"folders deeper than the path limit", makeFoldersPastThePathLimit, 66,
         ": the folder cannot be listed (File name too long)\n"},
        {"a link to nothing", [](const QString& drafts) { QFile::link(drafts + "/none.eml", drafts + "/gone.eml"); },
         66, "Cannot read %1/gone.eml: the file cannot be opened (No such file or directory)\n"},
        {"a link to a named pipe",
         [](const QString& drafts) {
             ASSERT_EQ(mkfifo(QFile::encodeName(drafts + "/pipe").constData(), 0644), 0);
             QFile::link(drafts + "/pipe", drafts + "/pipe.txt");
         },
         0, "Passed by %1/pipe.txt: it is not a regular file\n"},
        {"a name that is not UTF-8", [](const QString& drafts) { writeBytesNamed(drafts, "spam\xe9.txt", "free"); }, 2,
         "%1/spam\\xe9.txt:1:1: warning: trigger phrase 'free'"},
        {"control characters in a name",
         [](const QString& drafts) { writeBytesNamed(drafts, "x\n\x1b[2Jevil.txt", "free"); }, 2,
         "%1/x\\x0a\\x1b[2Jevil.txt:1:1: warning: trigger phrase 'free'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString drafts = dir.filePath("drafts");
        ASSERT_TRUE(QDir(dir.path()).mkdir("drafts"));
        // Readable by all, for the run as nobody.
        QFile::setPermissions(dir.path(), QFile::permissions(drafts));
        const QString definitions = dir.filePath("small.dat");
        ASSERT_TRUE(QFile::copy(SmallDefinitions, definitions));
        writeFile(dir, "drafts/ok.txt", "hello there");
        c.make(drafts);
        ScanRun run;
        {
            const AccessAsNobody nobody;
            ASSERT_FALSE(QFile(drafts + "/locked/spam.txt").open(QIODevice::ReadOnly)) << "the locked draft is open";
            run = scanInProcess({"-d", definitions, "--format", "gcc", "--no-summary", "-j", "1", drafts});
        }
        EXPECT_EQ(run.exitCode, c.status);
        EXPECT_TRUE((run.out + run.err).contains(QString(c.said).replace("%1", drafts)))
            << (run.out + run.err).toStdString();
        EXPECT_FALSE((run.out + run.err).contains(u'\x1b'));
        // Folders past the path limit or without permissions are more than QTemporaryDir removes.
        QProcess::execute("chmod", {"-R", "u+rwx", dir.path()});
        QProcess::execute("rm", {"-rf", dir.path()});
    }

    // The program takes a name from its command line byte for byte.
    QTemporaryDir dir;
    writeBytesNamed(dir.path(), "spam\xe9.txt", "free");
    const ScanRun named = runScan({"-c", R"sh(exec "$0" -d "$1" --format gcc "$(printf '%s/spam\351.txt' "$2")")sh",
                                   ScanProgram, SmallDefinitions, dir.path()},
                                  {}, "en_US.UTF-8", "/bin/sh");
    EXPECT_EQ(named.out, dir.path() + "/spam\\xe9.txt:1:1: warning: trigger phrase 'free' (weight 1.5)\n")
        << named.err.toStdString();
}

TEST(BatchScanTest, ProgressTellsTheTimeLeftOnlyOnceTheTotalIsKnown)
{
    EXPECT_EQ(ProgressLine::text(1200, std::nullopt, 3000, ScanEnglish), "1,200 messages, 400/s");
    EXPECT_EQ(ProgressLine::text(1200, 5000, 3000, ScanEnglish), "1,200 of 5,000 messages, 400/s, 0:09 left");

    // More is found while a mailbox is split or a folder is left to list; at the end the total is every
    // message and fault given out.
    const Campaign campaign;
    for (const QString& name : {campaign.path("d.eml"), campaign.dir.path()}) {
        SCOPED_TRACE(name.toStdString());
        MessageFeed feed({name}, {}, [](qint64) { return InputFile::Contents {}; });
        qsizetype given = 0;
        while (feed.next()) {
            if (++given == 1) {
                EXPECT_EQ(feed.total(), std::nullopt);
            }
        }
        EXPECT_EQ(feed.total(), given);
    }
}

// The exit status is the worst verdict of the run, whatever its order; the summary counts the messages
// rated, apart from those that could not be read, and with --quiet it is all that is printed.
TEST(BatchScanTest, StatusAndSummaryOfARun)
{
    QTemporaryDir dir;
    const QString fail = writeFile(dir, "fail.txt", "act now, free free free");
    const QString pass = writeFile(dir, "pass.txt", "The minutes are attached.");
    const QString questionable = writeFile(dir, "questionable.txt", QByteArray(300, 'x') + " free act now");
    const QString missing = dir.filePath("missing.txt");
    struct Case
    {
        const char* name;
        QStringList arguments;
        int exitCode;
        QString lastLine;
    };
    const std::vector<Case> cases = {
        {"the worst verdict first", {fail, pass}, 2, "2 messages: 1 Pass, 0 Questionable, 1 Fail"},
        {"questionable between passes", {pass, questionable, pass}, 1, "3 messages: 2 Pass, 1 Questionable, 0 Fail"},
        {"an unreadable input",
         {fail, missing, pass},
         66,
         "2 messages: 1 Pass, 0 Questionable, 1 Fail; 1 could not be read"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ScanRun run = scan(c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_EQ(lines(run.out).constLast(), c.lastLine);
    }
    const ScanRun quiet = scan({"--quiet", fail});
    EXPECT_EQ(quiet.out, "1 message: 0 Pass, 0 Questionable, 1 Fail\n");
    EXPECT_EQ(quiet.exitCode, 2);
}

// Compiler lines and SARIF results give the weight an occurrence added, twice the phrase's in capitals; the
// rules are named by the phrase's place among the definitions, and control characters stay valid JSON.
TEST(BatchScanTest, CompilerLinesAndSarifResultsPerOccurrence)
{
    QTemporaryDir dir;
    const QString definitions
        = writeFile(dir, "definitions.dat", "h\t1\r\nfirst\t1\r\nfree\t1.5\r\nbad\x01word\t0.5\r\n");
    const QString draft = writeFile(dir, "draft.txt", "first FREE bad\x01word");

    const ScanRun gcc = scanInProcess({"-d", definitions, "--format", "gcc", draft});
    EXPECT_EQ(lines(gcc.out),
              (QStringList {draft + ":1:1: warning: trigger phrase 'first' (weight 1)",
                            draft + ":1:7: warning: trigger phrase 'free' in capitals (weight 3)",
                            draft + ":1:12: warning: trigger phrase 'bad\x01word' (weight 0.5)"}));

    const ScanRun sarif = scanInProcess({"-d", definitions, "--format", "sarif", draft});
    EXPECT_FALSE(sarif.out.contains(u'\x01')) << "JSON strings hold no control characters unescaped";
    EXPECT_TRUE(sarif.out.contains(u"bad\\u0001word"));
    QJsonParseError error;
    const QJsonObject log = QJsonDocument::fromJson(sarif.out.toUtf8(), &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << sarif.out.toStdString();
    const QJsonArray results = log["runs"][0]["results"].toArray();
    QStringList seen;
    for (const QJsonValue result : results)
        seen << result["ruleId"].toString() + u' ' + result["message"]["text"].toString();
    EXPECT_EQ(seen,
              (QStringList {"TVX00001 Trigger phrase 'first' (weight 1)",
                            "TVX00002 Trigger phrase 'free' in capitals (weight 3)",
                            "TVX00003 Trigger phrase 'bad\x01word' (weight 0.5)"}));
}
