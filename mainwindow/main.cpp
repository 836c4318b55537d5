#include "AppIdentity.h"
#include "MainForm.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(AppIdentity::Title));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/tallyvex.ico")));
    MainForm form;
    form.show();
    return QApplication::exec();
}
