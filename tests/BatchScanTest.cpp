#include "QtPrinters.h"
#include "ScanInProcess.h"
#include "TemporaryFiles.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <map>

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
        writeFile(dir, "a.eml", "Subject: Click here\r\n\r\nHello,\r\nplease click here.\r\n");
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

TEST(BatchScanTest, CompilerLinesPointAtThePhraseInTheFile)
{
    const Campaign campaign;
    const ScanRun run = scan({"--format", "gcc", campaign.dir.path()});
    static const QRegularExpression warning(QStringLiteral(
        R"(^(.+?)(#\d+)?:(\d+):(\d+): warning: trigger phrase '(.+)'( in capitals)? \(weight ([0-9.]+)\)$)"));
    std::map<QString, int> perFile;
    for (const QString& line : lines(run.out)) {
        const QRegularExpressionMatch match = warning.match(line);
        ASSERT_TRUE(match.hasMatch()) << line.toStdString();
        const QString file = match.captured(1);
        ++perFile[file + match.captured(2)];
        // Text files and templates: the phrase stands at the place given, in the file itself.
        if (file.endsWith(u".txt") || file.endsWith(u".html") || file.endsWith(u".htm")) {
            EXPECT_TRUE(textAt(file, match.captured(3).toInt(), match.captured(4).toInt())
                            .startsWith(match.captured(5), Qt::CaseInsensitive))
                << line.toStdString();
        }
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
        const QJsonObject region = result["locations"][0]["physicalLocation"]["region"].toObject();
        EXPECT_GE(region["startLine"].toInt(), 1);
        EXPECT_GE(region["startColumn"].toInt(), 1);
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
