#pragma once

#include "MemoryRegistry.h"
#include "PlatformServices.h"

#include <QSet>
#include <QStringList>

// Platform services that record what the program asks of the desktop instead of doing it. Programs
// start only when their path is among the installed ones; files exist only when listed.
class RecordingServices
{
public:
    RecordingServices();

    PlatformServices services() const;

    std::shared_ptr<MemoryRegistry> registry;
    QSet<QString> installedPrograms;
    QSet<QString> files;

    // What the program asked for, in order.
    std::shared_ptr<QStringList> addresses = std::make_shared<QStringList>();
    std::shared_ptr<QStringList> startAttempts = std::make_shared<QStringList>();
    std::shared_ptr<QStringList> fileTests = std::make_shared<QStringList>();
    std::shared_ptr<QList<PlatformServices::Message>> messages = std::make_shared<QList<PlatformServices::Message>>();
};
