#pragma once

class QWidget;
struct MessageBoxRequest;

// The message boxes of the program: a modal QMessageBox with OK, owned by parent. The program installs it
// as the presenter of MessageBoxes at start.
namespace ModalMessageBox {

void exec(QWidget* parent, const MessageBoxRequest& request);

} // namespace ModalMessageBox
