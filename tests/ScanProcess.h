#pragma once

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

// tallyvex-scan run as a process, the way scripts and people use it.
struct ScanRun
{
    // -1 when the process did not end normally.
    int exitCode = -1;
    QString out;
    QString err;

    QJsonObject json() const { return QJsonDocument::fromJson(out.toUtf8()).object(); }
};

inline const QString ScanProgram = QStringLiteral(TALLYVEX_BIN_DIR "/tallyvex-scan");

// Runs the program with the arguments, the input on its standard input, and the locale pinned.
inline ScanRun runScan(const QStringList& arguments,
                       const QByteArray& input = {},
                       const QString& locale = QStringLiteral("en_US.UTF-8"),
                       const QString& program = ScanProgram)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), locale);
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    process.write(input);
    process.closeWriteChannel();
    EXPECT_TRUE(process.waitForFinished(30000));
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}
