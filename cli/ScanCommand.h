#pragma once

#include "scanner/InputFile.h"

#include <QLocale>
#include <QStringList>

#include <functional>

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

    // Reads the whole of standard input, at most the given number of bytes, or says why it cannot.
    using StandardInput = std::function<InputFile::Contents(qint64 maxBytes)>;

    // Captions and the weights in the definitions follow the locale. The program passes the system's locale
    // and its own standard input; a caller running the command in-process passes its own.
    ScanCommand(QTextStream& out,
                QTextStream& err,
                const QLocale& locale = QLocale::system(),
                StandardInput standardInput = InputFile::readStandardInput);

    int run(const QStringList& arguments);

private:
    // Prints the message, line by line with control characters made visible, and returns the exit status.
    int fail(int status, const QString& message);

    QTextStream& m_out;
    QTextStream& m_err;
    QLocale m_locale;
    StandardInput m_standardInput;
};
