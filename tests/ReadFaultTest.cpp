#include "QtPrinters.h"
#include "ScanProcess.h"
#include "TemporaryFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

// tallyvex-scan as a script runs it, with a disk that fails part-way through one file (the read-fault
// library), standard input that is a folder, and standard output that is full; and what each format says of
// a run that fails.
namespace {

ScanRun runWith(const QStringList& arguments, const std::function<void(QProcess&)>& prepare)
{
    QProcess process;
    prepare(process);
    process.start(ScanProgram, arguments);
    process.closeWriteChannel();
    EXPECT_TRUE(process.waitForFinished(30000));
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

// The failing file must be named as the kernel names it.
QString realPath(const QString& path)
{
    return QFileInfo(path).canonicalFilePath();
}

// Reading `file` fails after `bytes` bytes in the process.
void failReadingOf(QProcess& process, const QString& file, qsizetype bytes)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LD_PRELOAD", TALLYVEX_READ_FAULT_SHIM);
    // A sanitizer build would insist on coming first in the list of libraries.
    const QString asanOptions = environment.value("ASAN_OPTIONS");
    environment.insert("ASAN_OPTIONS", asanOptions + (asanOptions.isEmpty() ? "" : ":") + "verify_asan_link_order=0");
    environment.insert("TALLYVEX_READ_FAULT_FILE", file);
    environment.insert("TALLYVEX_READ_FAULT_AFTER", QString::number(bytes));
    process.setProcessEnvironment(environment);
}

} // namespace

TEST(ReadFault, AFileThatFailsPartWayGetsNoVerdict)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString definitions = realPath(QStringLiteral(TALLYVEX_BIN_DIR "/Definitions.dat"));
    const QString spam
        = writeFile(dir, "spam.txt", "Hello. Act now! Free money, click here, buy now, 100% guaranteed.");
    const QString eml = writeFile(dir, "spam.eml", "Subject: hi\r\n\r\nAct now! Free money, click here, buy now.\r\n");

    struct Case
    {
        const char* name;
        QStringList arguments;
        QString failingFile;
        QString err;
    };
    const std::vector<Case> cases = {
        {"body file",
         {"-d", definitions, spam},
         realPath(spam),
         "Cannot read " + spam + ": reading failed after 10 bytes (Input/output error)\n"},
        {"saved message",
         {"-d", definitions, "--eml", eml},
         realPath(eml),
         "Cannot read " + eml + ": reading failed after 10 bytes (Input/output error)\n"},
        {"definitions",
         {"-d", definitions, spam},
         definitions,
         "Cannot use the definitions: " + definitions + ": reading failed after 10 bytes (Input/output error)\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ScanRun run = runWith(c.arguments, [&](QProcess& process) { failReadingOf(process, c.failingFile, 10); });
        EXPECT_EQ(run.exitCode, 74);
        EXPECT_EQ(run.err, c.err);
        EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
    }
}

TEST(ReadFault, StandardStreamsThatCannotBeUsed)
{
    QTemporaryDir dir;
    const QString body = writeFile(dir, "body.txt", "Act now! Free money.");
    const QStringList scan {"--json", "-d", QStringLiteral(TALLYVEX_BIN_DIR "/Definitions.dat")};

    const ScanRun folderIn = runWith(scan, [&](QProcess& process) { process.setStandardInputFile(dir.path()); });
    EXPECT_EQ(folderIn.exitCode, 66);
    EXPECT_EQ(folderIn.err, "Cannot read standard input: it is a folder, not a file\n");

    const ScanRun fullOut
        = runWith(scan + QStringList {body}, [](QProcess& process) { process.setStandardOutputFile("/dev/full"); });
    EXPECT_EQ(fullOut.exitCode, 74);
    EXPECT_EQ(fullOut.err, "Cannot write the results: No space left on device\n");
}

TEST(ReadFault, EveryFormatTellsOfARunThatFailed)
{
    QTemporaryDir dir;
    const QString definitions = realPath(QStringLiteral(TALLYVEX_BIN_DIR "/Definitions.dat"));
    const QString badDefinitions = QStringLiteral(TALLYVEX_TEST_DATA "/bad-weight.dat");
    const QString body = writeFile(dir, "body.txt", "Act now! Free money.");
    const QString missing = dir.filePath("missing.txt");
    // The second message's reading fails: the first is reported, and the log is whole all the same.
    const QByteArray first = "From a@example.com Mon Jan  1 10:00:00 2024\nSubject: free money\n\nAct now!\n\n";
    const QString mailbox
        = writeFile(dir, "inbox.mbox",
                    first + "From b@example.com Mon Jan  1 10:01:00 2024\nSubject: hi\n\n" + QByteArray(4000, 'x'));
    struct Case
    {
        const char* name;
        QStringList arguments;
        // The file the fault concerns, and the one whose reading fails part-way.
        QString file;
        QString failingFile;
        int status;
        // The messages rated before the fault; one whose reading failed gets no verdict.
        qsizetype rated;
    };
    const std::vector<Case> cases = {
        {"every input missing", {"-d", definitions, missing}, missing, {}, 66, 0},
        {"definitions that cannot be used", {"-d", badDefinitions, body}, badDefinitions, {}, 65, 0},
        {"a mailbox whose reading fails part-way", {"-d", definitions, mailbox}, mailbox, realPath(mailbox), 74, 1},
    };
    for (const Case& c : cases) {
        for (const char* format : {"json", "gcc", "sarif"}) {
            SCOPED_TRACE(std::string(c.name) + ", " + format);
            const ScanRun run = runWith(QStringList {"--format", format} + c.arguments, [&](QProcess& process) {
                failReadingOf(process, c.failingFile, first.size() + 100);
            });
            EXPECT_EQ(run.exitCode, c.status);
            const QString sentence = run.err.section(u'\n', 0, 0);
            EXPECT_TRUE(sentence.startsWith(u"Cannot ")) << run.err.toStdString();
            const QString lastLine = run.out.section(u'\n', -2, -2);
            if (format == std::string_view("json")) {
                EXPECT_EQ(run.out.count(u'\n'), c.rated + 1) << run.out.toStdString();
                EXPECT_EQ(QJsonDocument::fromJson(lastLine.toUtf8()).object(),
                          (QJsonObject {{"file", c.file}, {"error", sentence}, {"status", c.status}}));
            } else if (format == std::string_view("gcc")) {
                EXPECT_EQ(lastLine, c.file + ": error: " + sentence);
            } else {
                const QJsonObject log = QJsonDocument::fromJson(run.out.toUtf8()).object();
                const QJsonObject invocation = log["runs"][0]["invocations"][0].toObject();
                EXPECT_EQ(invocation["executionSuccessful"], false);
                const QJsonObject notification = invocation["toolExecutionNotifications"][0].toObject();
                EXPECT_EQ(notification["level"], "error");
                EXPECT_EQ(notification["message"]["text"], sentence);
                EXPECT_EQ(log["runs"][0]["results"].toArray().isEmpty(), c.failingFile.isEmpty());
            }
        }
    }
}
