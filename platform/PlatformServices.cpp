#include "platform/PlatformServices.h"

#include "platform/SystemInfoTool.h"
#ifdef Q_OS_WIN
#include "platform/WindowsRegistry.h"
#endif

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

#include <memory>

PlatformServices PlatformServices::system()
{
    PlatformServices services;
    services.openAddress = [](const QUrl& address) { QDesktopServices::openUrl(address); };
    services.startProgram = [](const QString& program) { return QProcess::startDetached(program, {}); };
#ifdef Q_OS_WIN
    services.findSystemInfoTool = [registry = std::make_shared<WindowsRegistry>()] {
        return SystemInfoTool::findInRegistry(*registry, [](const QString& path) { return QFileInfo(path).isFile(); });
    };
#else
    services.findSystemInfoTool = [] { return SystemInfoTool::findOnPath(); };
#endif
    return services;
}
