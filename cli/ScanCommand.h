#pragma once

#include <QStringList>

class QTextStream;

// The command-line scanner: reads a message, performs what presses of the scan button do, and prints the
// results. Returns the process exit status; a verdict only when every input was read in full and the
// results were written.
class ScanCommand
{
public:
    enum ExitStatus
    {
        ExitPass = 0,
        ExitQuestionable = 1,
        ExitFail = 2,
        ExitUsage = 64,
        ExitDataError = 65,
        ExitNoInput = 66,
        ExitIoError = 74
    };

    ScanCommand(QTextStream& out, QTextStream& err);

    int run(const QStringList& arguments);

private:
    // Prints the message, line by line with control characters made visible, and returns the exit status.
    int fail(int status, const QString& message);

    QTextStream& m_out;
    QTextStream& m_err;
};
