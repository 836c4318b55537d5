#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>
#include <memory>

class QUrl;
class QWidget;
class Registry;

// The services of the desktop that the program calls out to. The product uses system(); tests put
// recorders or canned answers in their place.
struct PlatformServices
{
    struct Message
    {
        QString text;
        QString title;
        QMessageBox::StandardButtons buttons = QMessageBox::Ok;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
    };

    std::shared_ptr<Registry> registry;
    // Opens a web address with the desktop's default action (the browser); reports nothing.
    std::function<void(const QUrl& address)> openAddress;
    // Starts a program in a normal window of its own, without waiting for it; false when it does not start.
    std::function<bool(const QString& program)> startProgram;
    // True when path names an existing normal file.
    std::function<bool(const QString& path)> isFile;
    std::function<void(QWidget* parent, const Message& message)> showMessage;

    static PlatformServices system();
};
