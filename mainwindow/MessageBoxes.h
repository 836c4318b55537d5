#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

class QWidget;

// A message box the windows show: the icon, the caption and the text; the only button is OK.
struct MessageBoxRequest
{
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title;
    QString text;
};

// The one way the windows show a message box. Tests install a presenter that records the request
// instead of opening a modal box.
namespace MessageBoxes {

using Presenter = std::function<void(QWidget* parent, const MessageBoxRequest& request)>;

// Shows the box modally and returns when the user has closed it.
void show(QWidget* parent, const MessageBoxRequest& request);

// Replaces how boxes are shown and returns the presenter it replaces; an empty one restores the real boxes.
Presenter setPresenter(Presenter presenter);

} // namespace MessageBoxes
