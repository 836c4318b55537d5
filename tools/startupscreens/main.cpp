#include "forms/FormStyle.h"
#include "mainwindow/MainForm.h"
#include "platform/AppInfo.h"
#include "startup/AboutForm.h"

#include <QApplication>

// Lays out the main window and the About box that a click on "About" shows, for the README's screenshots.
// The program centres the box on the main window; here it stands beside it, so that both show whole.
int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    AppInfo::registerBuildIdentity();
    QApplication::setWindowIcon(FormStyle::programIcon());

    MainForm mainForm;
    mainForm.move(20, 20);
    mainForm.show();
    auto* about = new AboutForm(AppInfo::current(), PlatformServices::system());
    about->move(mainForm.geometry().right() + 24, mainForm.y() + 90);
    about->show();
    return QApplication::exec();
}
