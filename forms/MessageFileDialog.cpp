#include "forms/MessageFileDialog.h"

#include <QFileDialog>

namespace MessageFileDialog {

QString choose(QWidget* parent)
{
    return QFileDialog::getOpenFileName(
        parent, QStringLiteral("Open a Message"), QString(),
        QStringLiteral("Messages (*.eml *.txt *.html *.htm);;Saved e-mails (*.eml);;Text files (*.txt);;"
                       "HTML pages (*.html *.htm);;All files (*)"));
}

} // namespace MessageFileDialog
