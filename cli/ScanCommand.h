#pragma once

#include <QStringList>

class QTextStream;

// The command-line scanner: reads a message, performs what presses of the scan button do, and prints the
// results. Returns the process exit status.
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
        ExitNoInput = 66
    };

    ScanCommand(QTextStream& out, QTextStream& err);

    int run(const QStringList& arguments);

private:
    QTextStream& m_out;
    QTextStream& m_err;
};
