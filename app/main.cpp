#include "app/AppStartup.h"
#include "app/GraphicalDisplay.h"
#include "forms/FormStyle.h"
#include "forms/MessageFileDialog.h"
#include "forms/ModalMessageBox.h"
#include "platform/AppIdentity.h"
#include "platform/AppInfo.h"
#include "platform/MessageBoxes.h"

#include <QApplication>
#include <QProcessEnvironment>

#include <cstdio>

int main(int argc, char* argv[])
{
    if (!hasGraphicalDisplay(QProcessEnvironment::systemEnvironment())) {
        std::fputs(NoDisplayMessage, stderr);
        return 1;
    }
    QApplication app(argc, argv);
    AppInfo::registerBuildIdentity();
    // Matches the windows with the installed desktop file and icon.
    QGuiApplication::setDesktopFileName(QString::fromUtf8(AppIdentity::AppId));
    QApplication::setWindowIcon(FormStyle::programIcon());
    MessageBoxes::setPresenter(&ModalMessageBox::exec);

    // The program ends with its last window.
    PlatformServices services = PlatformServices::system();
    services.chooseMessageFile = &MessageFileDialog::choose;
    AppStartup startup(services, QString(), QLocale::system(), StartOptions::fromArguments(QApplication::arguments()));
    startup.start();
    return QApplication::exec();
}
