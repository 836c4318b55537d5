#include "cli/NativePath.h"
#include "cli/ScanCommand.h"
#include "platform/AppIdentity.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>
#ifdef Q_OS_WIN
#include <fcntl.h>
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

#ifdef Q_OS_WIN
    // Reports end their lines with LF on every system, so scripts and CI see the same bytes.
    _setmode(fileno(stdout), _O_BINARY);
    _setmode(fileno(stderr), _O_BINARY);
#endif
#ifdef Q_OS_WIN
    const QStringList arguments = QCoreApplication::arguments();
#else
    // File names are bytes: decoded so that each one opens again, also when it is not UTF-8.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(NativePath::decode(argv[i]));
#endif
    QTextStream out(stdout);
    QTextStream err(stderr);
    ScanCommand command(out, err);
    command.setProgressShown(isatty(fileno(stderr)) != 0);
    return command.run(arguments);
}
