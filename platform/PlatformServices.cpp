#include "platform/PlatformServices.h"

#include "platform/Registry.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

PlatformServices PlatformServices::system()
{
    PlatformServices services;
    services.registry = Registry::system();
    services.openAddress = [](const QUrl& address) { QDesktopServices::openUrl(address); };
    services.startProgram = [](const QString& program) { return QProcess::startDetached(program, {}); };
    services.isFile = [](const QString& path) { return QFileInfo(path).isFile(); };
    return services;
}
