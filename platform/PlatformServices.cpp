#include "PlatformServices.h"

#include "Registry.h"

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
    services.showMessage = [](QWidget* parent, const Message& message) {
        QMessageBox box(message.icon, message.title, message.text, message.buttons, parent);
        box.exec();
    };
    return services;
}
