#pragma once

#include "ScanProcess.h"
#include "cli/ScanCommand.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTextStream>

// tallyvex-scan run in-process: the arguments, standard input and locale a process run would get, and the
// same exit status, output and errors.
inline const QLocale ScanEnglish(QLocale::English, QLocale::UnitedStates);

// The definitions that tallyvex-scan finds beside itself; a test program has no such search of its own.
inline const QString ScanDefaultDefinitions = QStringLiteral(TALLYVEX_BIN_DIR "/Definitions.dat");

inline ScanRun
scanInProcess(const QStringList& arguments, const QByteArray& input = {}, const QLocale& locale = ScanEnglish)
{
    QCoreApplication::setApplicationName(QStringLiteral("tallyvex-scan"));
    ScanRun run;
    QTextStream out(&run.out);
    QTextStream err(&run.err);
    const auto standardInput = [&input](qint64) { return InputFile::Contents {input, {}}; };
    run.exitCode = ScanCommand(out, err, locale, standardInput).run(QStringList {"tallyvex-scan"} + arguments);
    out.flush();
    err.flush();
    return run;
}
