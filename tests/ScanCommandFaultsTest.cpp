#include "QtPrinters.h"
#include "ScanInProcess.h"
#include "TemporaryFiles.h"
#include "cli/ExitStatus.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

// The command-line scanner run in-process: faults in what it reads or writes end with the reason and their
// exit status, never with a verdict.
namespace {

const QString SmallDefinitions = QStringLiteral(TALLYVEX_TEST_DATA "/small.dat");

} // namespace

TEST(ScanCommandFaults, EndWithTheReasonAndTheirExitStatus)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString body = writeFile(dir, "body.txt", "free money");
    const QString lineFeeds = writeFile(dir, "lf.dat", "h\t1\nfree\t1\n");
    const QString nulWeight = writeFile(dir, "nul.dat", QByteArray("h\t1\r\nfree\t1") + '\0' + "\x1b[2J\r\n");
    const QString cutMailbox
        = writeFile(dir, "cut.mbox", "From a@example.com Mon Jan  1 10:00:00 2024\nSubject: hi\n\nfree mon");

    struct Case
    {
        const char* name;
        QStringList arguments;
        int status;
        QString err;
    };
    const std::vector<Case> cases = {
        {"endless definitions",
         {"-d", "/dev/zero", body},
         65,
         "Cannot use the definitions: /dev/zero: it holds more than 64 MiB, the most that is read\n"},
        {"definitions without a phrase",
         {"-d", lineFeeds, body},
         65,
         "Cannot use the definitions: " + lineFeeds
             + ": the file contains no trigger phrases (its lines end with a line feed alone; they must end "
               "with CR LF or CR)\n"},
        {"definitions that are a folder",
         {"-d", dir.path(), body},
         66,
         "Cannot use the definitions: " + dir.path() + ": it is a folder, not a file\n"},
        {"definitions whose reading fails",
         {"-d", "/proc/self/mem", body},
         74,
         "Cannot use the definitions: /proc/self/mem: reading failed after 0 bytes (Input/output error)\n"},
        {"control characters in a fault are written out",
         {"-d", nulWeight, body},
         65,
         "Cannot use the definitions: " + nulWeight + ", line 2: the weight \"1\\x00\\x1b[2J\" is not a number\n"},
        {"a body whose reading fails",
         {"-d", SmallDefinitions, "/proc/self/mem"},
         74,
         "Cannot read /proc/self/mem: reading failed after 0 bytes (Input/output error)\n"},
        {"an empty file name", {"-d", SmallDefinitions, ""}, 66, "Cannot read \"\": no file name was given\n"},
        {"a message that cannot be opened",
         {"-d", SmallDefinitions, "--eml", dir.filePath("none.eml")},
         66,
         "Cannot read " + dir.filePath("none.eml") + ": the file cannot be opened (No such file or directory)\n"},
        {"two ways of reading the files",
         {"-d", SmallDefinitions, "--eml", "--mbox", "a.eml"},
         64,
         "Only one of --eml, --html and --mbox can be given.\n"},
        {"a mailbox without messages",
         {"-d", SmallDefinitions, "--mbox", body},
         65,
         "Cannot read " + body + ": it holds no message (no \"From \" line starts one)\n"},
        {"a mailbox that ends part-way through its message",
         {"-d", SmallDefinitions, cutMailbox},
         74,
         "Cannot read " + cutMailbox
             + ": the file ends in the middle of a line of message 1, so the message is not complete\n"},
        {"a message and a subject",
         {"-d", SmallDefinitions, "--eml", "a.eml", "-s", "hi"},
         64,
         "--eml takes subject and body from the message; it cannot be combined with --subject.\n"},
        {"a thread count that is no number",
         {"-d", SmallDefinitions, "-j", "two", body},
         64,
         "--jobs takes a number of threads from 1 to 256.\n"},
        {"a single-dash word that is no option",
         {"-d", SmallDefinitions, "-stepx", body},
         64,
         "Unknown option 'stepx'.\nTry 'tallyvex-scan --help'.\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ScanRun outcome = scanInProcess(c.arguments);
        EXPECT_EQ(outcome.exitCode, c.status);
        EXPECT_EQ(outcome.err, c.err);
        EXPECT_TRUE(outcome.out.isEmpty()) << outcome.out.toStdString();
    }
}

TEST(ScanCommandFaults, ResultsThatCannotBeWrittenAreAFault)
{
    QTemporaryDir dir;
    const QString body = writeFile(dir, "body.txt", "free money");
    QFile full(QStringLiteral("/dev/full"));
    ASSERT_TRUE(full.open(QIODevice::WriteOnly));
    QTextStream out(&full);
    QString errText;
    QTextStream err(&errText);
    const int status = ScanCommand(out, err).run({"tallyvex-scan", "--json", "-d", SmallDefinitions, body});
    EXPECT_EQ(status, ExitStatus::IoError);
    EXPECT_EQ(errText, "Cannot write the results: No space left on device\n");
}

TEST(ScanCommandFaults, OptionsSpelledEitherWay)
{
    QTemporaryDir dir;
    const QString body = writeFile(dir, "body.txt", "free free");
    const ScanRun singleDash = scanInProcess({"-d", SmallDefinitions, "-step", "-json", body});
    EXPECT_EQ(singleDash.exitCode, ExitStatus::Fail) << singleDash.err.toStdString();
    EXPECT_TRUE(singleDash.out.contains("\"occurrences\"")) << singleDash.out.toStdString();
    EXPECT_EQ(QJsonDocument::fromJson(singleDash.out.toUtf8())["occurrences"].toArray().size(), 2);

    const ScanRun helpAll = scanInProcess({"--help-all"});
    EXPECT_EQ(helpAll.exitCode, ExitStatus::Pass);
    EXPECT_EQ(helpAll.out, scanInProcess({"--help"}).out);
    for (const char* statement : {"74 reading or writing failed", "64 MiB", "256 MiB"})
        EXPECT_TRUE(helpAll.out.contains(statement)) << statement;
}

TEST(ScanCommandFaults, EncodingsOfBodiesAndDefinitions)
{
    QTemporaryDir dir;
    const QString accented = writeFile(dir, "ansi.dat", "h\t1\r\nr\xE9sum\xE9\t3\r\n");
    const QString body = QStringLiteral("my résumé, free money");
    struct Case
    {
        const char* name;
        QString definitions;
        QByteArray body;
        QStringList phrases;
    };
    const std::vector<Case> cases = {
        {"UTF-16 body with its mark",
         SmallDefinitions,
         QStringEncoder(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom).encode(body),
         {"free"}},
        {"UTF-32 big-endian body with its mark",
         SmallDefinitions,
         QStringEncoder(QStringEncoder::Utf32BE, QStringEncoder::Flag::WriteBom).encode(body),
         {"free"}},
        {"Windows-1252 definitions against a UTF-8 body", accented, body.toUtf8(), {"résumé"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString bodyFile = writeFile(dir, "body.bin", c.body);
        const ScanRun outcome = scanInProcess({"--json", "-d", c.definitions, bodyFile});
        EXPECT_TRUE(outcome.err.isEmpty()) << outcome.err.toStdString();
        const QJsonValue phrases = QJsonDocument::fromJson(outcome.out.toUtf8())["phrases"];
        EXPECT_EQ(phrases.toArray(), QJsonArray::fromStringList(c.phrases)) << outcome.out.toStdString();
    }
}
