#include "QtPrinters.h"
#include "ScanProcess.h"
#include "TemporaryFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

// tallyvex-scan as a script runs it, with a disk that fails part-way through one file (the read-fault
// library), standard input that is a folder, and standard output that is full.
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
        const ScanRun run = runWith(c.arguments, [&](QProcess& process) {
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert("LD_PRELOAD", TALLYVEX_READ_FAULT_SHIM);
            // A sanitizer build would insist on coming first in the list of libraries.
            const QString asanOptions = environment.value("ASAN_OPTIONS");
            environment.insert("ASAN_OPTIONS",
                               asanOptions + (asanOptions.isEmpty() ? "" : ":") + "verify_asan_link_order=0");
            environment.insert("TALLYVEX_READ_FAULT_FILE", c.failingFile);
            environment.insert("TALLYVEX_READ_FAULT_AFTER", "10");
            process.setProcessEnvironment(environment);
        });
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
