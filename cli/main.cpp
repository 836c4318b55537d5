#include "cli/ScanCommand.h"
#include "platform/AppIdentity.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>
#ifdef Q_OS_WIN
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tallyvex-scan"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(AppIdentity::Version));

    QTextStream out(stdout);
    QTextStream err(stderr);
    ScanCommand command(out, err);
    command.setProgressShown(isatty(fileno(stderr)) != 0);
    return command.run(QCoreApplication::arguments());
}
