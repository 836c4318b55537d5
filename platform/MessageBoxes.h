#pragma once

#include <QString>

#include <functional>

class QWidget;

// The picture beside a message box's text.
enum class MessageIcon
{
    None,
    Warning
};

// A message box the windows show: the icon, the caption and the text; the only button is OK.
struct MessageBoxRequest
{
    MessageIcon icon = MessageIcon::None;
    QString title;
    QString text;
};

// The one way the windows show a message box. The program installs the presenter that opens a modal box
// (ModalMessageBox); tests install one that records the request instead.
namespace MessageBoxes {

using Presenter = std::function<void(QWidget* parent, const MessageBoxRequest& request)>;

// Shows the box and returns when the user has closed it. Without a presenter the text goes to the log.
void show(QWidget* parent, const MessageBoxRequest& request);

// Replaces how boxes are shown and returns the presenter it replaces.
Presenter setPresenter(Presenter presenter);

} // namespace MessageBoxes
