#pragma once

#include <QString>

class QWidget;

// The dialog in which the user chooses a message file to open: saved e-mails, text files and HTML pages.
namespace MessageFileDialog {

// The chosen file's path; empty when the user cancelled.
QString choose(QWidget* parent);

} // namespace MessageFileDialog
