#include "forms/ModalMessageBox.h"

#include "platform/MessageBoxes.h"

#include <QMessageBox>

void ModalMessageBox::exec(QWidget* parent, const MessageBoxRequest& request)
{
    const QMessageBox::Icon icon = request.icon == MessageIcon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon;
    QMessageBox box(icon, request.title, request.text, QMessageBox::Ok, parent);
    box.exec();
}
