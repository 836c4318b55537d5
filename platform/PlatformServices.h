#pragma once

#include <QString>

#include <functional>
#include <optional>

class QUrl;
class QWidget;

// The services of the desktop that the program calls out to (message boxes go through MessageBoxes). The
// product uses system(); tests put recorders or canned answers in their place.
struct PlatformServices
{
    // Opens a web address with the desktop's default action (the browser); false when the desktop has
    // nothing to open it with.
    std::function<bool(const QUrl& address)> openAddress;
    // Starts a program in a normal window of its own, without waiting for it; false when it does not start.
    std::function<bool(const QString& program)> startProgram;
    // Where the system information tool is installed; nothing when it cannot be found (see SystemInfoTool).
    std::function<std::optional<QString>()> findSystemInfoTool;
    // Lets the user choose a message file to open; empty when the user cancels. A dialog needs widgets,
    // so main() sets it (MessageFileDialog in forms/); system() leaves it unset, which opens nothing.
    std::function<QString(QWidget* parent)> chooseMessageFile;

    static PlatformServices system();

    // Opens the address in the browser; when there is none, a message box over `parent` names the address,
    // so that the user can copy it into one.
    void openInBrowser(const QUrl& address, QWidget* parent) const;
};
