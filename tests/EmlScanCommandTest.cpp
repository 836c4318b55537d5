#include "ScanInProcess.h"
#include "scanner/DefinitionsLoader.h"

#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString emlFile(const char* name)
{
    return QStringLiteral(TALLYVEX_TEST_DATA "/eml/") + QString::fromLatin1(name);
}

// The command scans with the definitions the program finds beside itself.
ScanRun scanWithDefaults(const QStringList& arguments, const QByteArray& input = {})
{
    return scanInProcess(QStringList {QStringLiteral("-d"), ScanDefaultDefinitions} + arguments, input);
}

bool copyFile(const QString& from, const QString& to)
{
    return QDir().mkpath(QFileInfo(to).absolutePath()) && QFile::copy(from, to);
}

// A message read from a saved e-mail scans exactly like the same subject and body given directly.
TEST(EmlScanCommandTest, SavedMessageScansLikeItsSubjectAndBody)
{
    struct Case
    {
        const char* file;
        QString subject;
        QByteArray body;
        QString part;
    };
    const std::vector<Case> cases {
        {"alternative.eml", QStringLiteral("Weekly news"), "Click here for free money", QStringLiteral("text/plain")},
        {"quoted-printable.eml", QStringLiteral("Your offer"),
         "This is a limited time offer for our caf\xc3\xa9 customers.\nAct now = save more.\n",
         QStringLiteral("text/plain")},
        {"html-only.eml", QStringLiteral("Special promotion"),
         "Big savings\nCaf\xc3\xa9 & more:\norder today\none\ntwo", QStringLiteral("text/html")},
    };
    for (const Case& message : cases) {
        SCOPED_TRACE(message.file);
        const ScanRun fromEml
            = scanWithDefaults({QStringLiteral("--json"), QStringLiteral("--eml"), emlFile(message.file)});
        const ScanRun direct
            = scanWithDefaults({QStringLiteral("--json"), QStringLiteral("-s"), message.subject}, message.body);
        ASSERT_GE(fromEml.exitCode, 0);
        EXPECT_LE(fromEml.exitCode, 2) << fromEml.err.toStdString();
        EXPECT_EQ(fromEml.exitCode, direct.exitCode);
        QJsonObject emlReport = fromEml.json();
        EXPECT_EQ(emlReport.value(QStringLiteral("message")).toObject().value(QStringLiteral("part")).toString(),
                  message.part);
        emlReport.remove(QStringLiteral("message"));
        EXPECT_EQ(emlReport, direct.json());
        EXPECT_FALSE(direct.json().contains(QStringLiteral("message")));
    }
}

TEST(EmlScanCommandTest, ReadsTheMessageFromStandardInput)
{
    QFile message(emlFile("alternative.eml"));
    ASSERT_TRUE(message.open(QIODevice::ReadOnly));
    const ScanRun run = scanWithDefaults({QStringLiteral("--eml"), QStringLiteral("-")}, message.readAll());
    EXPECT_LE(run.exitCode, 2) << run.err.toStdString();
    EXPECT_TRUE(run.out.startsWith("Message part: text/plain\n")) << run.out.toStdString();
}

TEST(EmlScanCommandTest, RefusesWhatItCannotUse)
{
    struct Case
    {
        const char* name;
        QStringList arguments;
        int exitCode;
        QString errorPart;
    };
    const std::vector<Case> cases {
        {"malformed message",
         {QStringLiteral("--eml"), emlFile("broken-empty-part.eml")},
         65,
         QStringLiteral(
             "broken-empty-part.eml: the message is malformed: a part has neither header lines nor content")},
        {"not a message",
         {QStringLiteral("--eml"), emlFile("broken-no-headers.eml")},
         65,
         QStringLiteral("not a saved e-mail")},
        {"no text", {QStringLiteral("--eml"), emlFile("broken-no-text.eml")}, 65, QStringLiteral("no text part")},
        {"missing file", {QStringLiteral("--eml"), emlFile("no-such.eml")}, 66, QStringLiteral("Cannot read")},
        {"with a subject",
         {QStringLiteral("--eml"), emlFile("plain.eml"), QStringLiteral("-s"), QStringLiteral("Other")},
         64,
         QStringLiteral("cannot be combined")},
    };
    for (const Case& refused : cases) {
        SCOPED_TRACE(refused.name);
        const ScanRun run = scanWithDefaults(refused.arguments);
        EXPECT_EQ(run.exitCode, refused.exitCode);
        EXPECT_TRUE(run.err.contains(refused.errorPart)) << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty());
    }
}

TEST(DefinitionsLookupTest, BesideTheProgramFirstThenTheSharedDataFolder)
{
    QTemporaryDir prefix;
    ASSERT_TRUE(prefix.isValid());
    const QString bin = prefix.filePath(QStringLiteral("bin"));
    const QString beside = bin + QStringLiteral("/Definitions.dat");
    const QString shared = prefix.filePath(QStringLiteral("share/tallyvex/Definitions.dat"));
    ASSERT_TRUE(QDir().mkpath(bin));
    EXPECT_EQ(definitionsCandidates(bin), (QStringList {beside, shared}));

    QStringList tried {QStringLiteral("stale entry")};
    EXPECT_EQ(findDefinitions(bin, &tried), QString());
    EXPECT_EQ(tried, (QStringList {beside, shared}));

    ASSERT_TRUE(copyFile(QStringLiteral(TALLYVEX_BIN_DIR "/Definitions.dat"), shared));
    EXPECT_EQ(findDefinitions(bin, &tried), shared);
    EXPECT_EQ(tried, (QStringList {beside, shared}));

    ASSERT_TRUE(copyFile(shared, beside));
    EXPECT_EQ(findDefinitions(bin, &tried), beside);
    EXPECT_EQ(tried, QStringList {beside});

    // A folder of that name is found, and loading it says what it is rather than "not found".
    ASSERT_TRUE(QFile::remove(beside) && QDir().mkpath(beside));
    EXPECT_EQ(findDefinitions(bin), beside);
    const LoadedDefinitions folder = loadDefinitionsFile(beside);
    ASSERT_TRUE(folder.fault.has_value());
    EXPECT_EQ(folder.fault->describe(beside), beside + ": it is a folder, not a file");
}

// A copy of the command-line scanner in a prefix of its own finds the definitions as an installed copy does.
TEST(DefinitionsLookupTest, CommandLineNamesThePathsItTried)
{
    QTemporaryDir prefix;
    ASSERT_TRUE(prefix.isValid());
    const QString program = prefix.filePath(QStringLiteral("bin/tallyvex-scan"));
    ASSERT_TRUE(copyFile(ScanProgram, program));
    const QString beside = prefix.filePath(QStringLiteral("bin/Definitions.dat"));
    const QString shared = prefix.filePath(QStringLiteral("share/tallyvex/Definitions.dat"));
    const QStringList arguments {QStringLiteral("--json"), QStringLiteral("-s"), QStringLiteral("Hello")};

    const ScanRun missing = runScan(arguments, "Body", QStringLiteral("en_US.UTF-8"), program);
    EXPECT_EQ(missing.exitCode, 66);
    EXPECT_EQ(missing.err, describeMissingDefinitions({beside, shared}) + u'\n');
    EXPECT_TRUE(missing.err.contains(beside) && missing.err.contains(shared)) << missing.err.toStdString();

    ASSERT_TRUE(copyFile(QStringLiteral(TALLYVEX_BIN_DIR "/Definitions.dat"), shared));
    const ScanRun installed = runScan(arguments, "Body", QStringLiteral("en_US.UTF-8"), program);
    EXPECT_EQ(installed.exitCode, 0) << installed.err.toStdString();
    EXPECT_EQ(installed.json().value(QStringLiteral("definitions")).toObject().value(QStringLiteral("path")).toString(),
              shared);
}

// GMime and libxml2 come in modules of their own that the program loads only for a message that needs them:
// a copy without one still scans what does not need it, and names the missing module for what does.
TEST(EmlScanCommandTest, ReaderModulesAreLoadedOnlyForMessagesThatNeedThem)
{
    QTemporaryDir prefix;
    ASSERT_TRUE(prefix.isValid());
    const QString program = prefix.filePath(QStringLiteral("bin/tallyvex-scan"));
    const QString mailModule = prefix.filePath(QStringLiteral("bin/libtallyvex-mailreader.so"));
    const QString htmlModule = prefix.filePath(QStringLiteral("bin/libtallyvex-htmlreader.so"));
    ASSERT_TRUE(copyFile(ScanProgram, program));
    ASSERT_TRUE(copyFile(QStringLiteral(TALLYVEX_BIN_DIR "/Definitions.dat"), prefix.filePath("bin/Definitions.dat")));
    const QStringList plain {QStringLiteral("-s"), QStringLiteral("Hello")};
    const QStringList plainEmail {QStringLiteral("--eml"), emlFile("plain.eml")};
    const QStringList htmlEmail {QStringLiteral("--eml"), emlFile("html-only.eml")};
    const QStringList htmlPage {QStringLiteral("--html"), QStringLiteral("-")};
    // A verdict (exit status 0 to 2) and nothing on standard error, or a malformed-message fault that
    // names the missing module.
    struct Case
    {
        const char* name;
        bool withMailModule;
        bool withHtmlModule;
        QStringList arguments;
        QString missingModule;
    };
    const std::vector<Case> cases {
        {"plain text without the modules", false, false, plain, QString()},
        {"saved e-mail without the modules", false, false, plainEmail, mailModule},
        {"plain saved e-mail with the mail reader alone", true, false, plainEmail, QString()},
        {"HTML saved e-mail with the mail reader alone", true, false, htmlEmail, htmlModule},
        {"HTML page with the mail reader alone", true, false, htmlPage, htmlModule},
        {"HTML page with the HTML reader alone", false, true, htmlPage, QString()},
        {"HTML saved e-mail with both modules", true, true, htmlEmail, QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const auto& [module, wanted] : {std::pair(mailModule, c.withMailModule), {htmlModule, c.withHtmlModule}}) {
            QFile::remove(module);
            if (wanted) {
                ASSERT_TRUE(copyFile(QStringLiteral(TALLYVEX_BIN_DIR "/") + QFileInfo(module).fileName(), module));
            }
        }
        const ScanRun run = runScan(c.arguments, "<p>Body</p>", QStringLiteral("en_US.UTF-8"), program);
        if (c.missingModule.isEmpty()) {
            EXPECT_TRUE(run.exitCode >= 0 && run.exitCode <= 2) << run.exitCode;
            EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
        } else {
            EXPECT_EQ(run.exitCode, 65);
            EXPECT_TRUE(run.err.contains(QStringLiteral("is missing; looked for ") + c.missingModule))
                << run.err.toStdString();
        }
    }
}

} // namespace
