#include "forms/ModalMessageBox.h"

#include "platform/MessageBoxes.h"

#include <QMessageBox>

void ModalMessageBox::exec(QWidget* parent, const MessageBoxRequest& request)
{
    const QMessageBox::Icon icon = request.icon == MessageIcon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon;
    QMessageBox box(icon, request.title, request.text, QMessageBox::Ok, parent);
    // The text is shown as written (a file or address may hold "<"), and can be selected and copied.
    box.setTextFormat(Qt::PlainText);
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    box.exec();
}
