#include "app/GraphicalDisplay.h"
#include "forms/ModalMessageBox.h"
#include "mainwindow/MainForm.h"
#include "mainwindow/MainFormLinks.h"
#include "platform/AppIdentity.h"
#include "platform/AppInfo.h"
#include "platform/MessageBoxes.h"
#include "startup/AboutForm.h"
#include "startup/SplashForm.h"

#include <QApplication>
#include <QIcon>
#include <QProcessEnvironment>

#include <cstdio>

#include <memory>

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
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/tallyvex.ico")));
    MessageBoxes::setPresenter(&ModalMessageBox::exec);
    const PlatformServices services = PlatformServices::system();

    // The splash screen opens the main window when its time is up; the program ends with the last window.
    std::unique_ptr<MainForm> mainForm;
    auto* splash = new SplashForm(AppInfo::current(), [&mainForm, &services] {
        mainForm = std::make_unique<MainForm>();
        new MainFormLinks(mainForm.get(), services,
                          [&services] { return new AboutForm(AppInfo::current(), services); });
        mainForm->show();
    });
    splash->show();
    return QApplication::exec();
}
