#include "cli/ScanCommand.h"
#include "platform/AppIdentity.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tallyvex-scan"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(AppIdentity::Version));

    QTextStream out(stdout);
    QTextStream err(stderr);
    return ScanCommand(out, err).run(QCoreApplication::arguments());
}
