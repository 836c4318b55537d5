#include "platform/PlatformServices.h"

#include "platform/AppIdentity.h"
#include "platform/MessageBoxes.h"
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
    services.openAddress = [](const QUrl& address) { return QDesktopServices::openUrl(address); };
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

void PlatformServices::openInBrowser(const QUrl& address, QWidget* parent) const
{
    if (openAddress(address))
        return;
    const QString text = QStringLiteral("No web browser could be started to open this address. Copy it into "
                                        "your browser to visit the page:\n\n%1")
                             .arg(address.toString());
    MessageBoxes::show(parent, {MessageIcon::Warning, QString::fromUtf8(AppIdentity::Title), text});
}
