#include "AppIdentity.h"
#include "GraphicalDisplay.h"
#include "MainForm.h"

#include <QApplication>
#include <QIcon>
#include <QProcessEnvironment>

#include <cstdio>

int main(int argc, char* argv[])
{
    if (!hasGraphicalDisplay(QProcessEnvironment::systemEnvironment())) {
        std::fputs(NoDisplayMessage, stderr);
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(AppIdentity::Title));
    // Matches the windows with the installed desktop file and icon.
    QGuiApplication::setDesktopFileName(QString::fromUtf8(AppIdentity::AppId));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/tallyvex.ico")));
    MainForm form;
    form.show();
    return QApplication::exec();
}
