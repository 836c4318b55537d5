#pragma once

#include "MemoryRegistry.h"
#include "platform/MessageBoxes.h"
#include "platform/PlatformServices.h"

#include <QSet>
#include <QStringList>

// Platform services and message boxes that record what the program asks of the desktop instead of doing
// it, while the recorder lives. The system information tool is looked up in a registry held in memory, as
// on Windows. Programs start only when their path is among the installed ones; files exist only when
// listed.
class RecordingServices
{
public:
    RecordingServices();
    ~RecordingServices();
    RecordingServices(const RecordingServices&) = delete;
    RecordingServices& operator=(const RecordingServices&) = delete;

    PlatformServices services() const;

    std::shared_ptr<MemoryRegistry> registry;
    QSet<QString> installedPrograms;
    QSet<QString> files;
    // Whether the desktop has a browser to open addresses with.
    std::shared_ptr<bool> hasBrowser = std::make_shared<bool>(true);

    // What the program asked for, in order.
    std::shared_ptr<QStringList> addresses = std::make_shared<QStringList>();
    std::shared_ptr<QStringList> startAttempts = std::make_shared<QStringList>();
    std::shared_ptr<QStringList> fileTests = std::make_shared<QStringList>();
    // The file the user chooses in every open dialog, and how many were shown.
    std::shared_ptr<QString> chosenFile = std::make_shared<QString>();
    std::shared_ptr<int> fileDialogs = std::make_shared<int>(0);
    std::shared_ptr<QList<MessageBoxRequest>> messages = std::make_shared<QList<MessageBoxRequest>>();

private:
    MessageBoxes::Presenter m_previousPresenter;
};
