#pragma once

#include "cli/MessageFeed.h"
#include "cli/ReportFormat.h"
#include "textio/InputFile.h"

#include <QLocale>
#include <QStringList>

class QTextStream;
struct UsageError;

// The command-line scanner: reads messages, performs for each what presses of the scan button do, and
// prints the results. Returns the process exit status (cli/ExitStatus.h); a verdict only when every input was
// read in full and the results were written.
class ScanCommand
{
public:
    // Reads the whole of standard input, at most the given number of bytes, or says why it cannot.
    using StandardInput = MessageFeed::StandardInput;

    // Captions and the weights in the definitions follow the locale. The program passes the system's locale
    // and its own standard input; a caller running the command in-process passes its own.
    ScanCommand(QTextStream& out,
                QTextStream& err,
                const QLocale& locale = QLocale::system(),
                StandardInput standardInput = InputFile::readStandardInput);

    int run(const QStringList& arguments);
    // Shows the progress of long runs on standard error; the program does while that is a terminal.
    void setProgressShown(bool shown) { m_progressShown = shown; }

private:
    int failUsage(const UsageError& error);
    // A fault that ends the run before any message is read: said on standard error, and in the formats
    // that programs read as the output of a run that failed. `file` is the file it concerns, if any.
    int failRun(ReportFormat format, int status, const QString& sentence, const QString& file = {});
    // Flushes the results; the status, or the fault of results that cannot be written.
    int finishOutput(int status);

    QTextStream& m_out;
    QTextStream& m_err;
    QLocale m_locale;
    StandardInput m_standardInput;
    bool m_progressShown = false;
};
