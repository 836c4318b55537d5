#pragma once

#include "platform/PlatformServices.h"

#include <QString>

class QWidget;

// Starts the operating system's system information tool, or tells the user that it is unavailable.
class SystemInfoLauncher
{
public:
    SystemInfoLauncher(PlatformServices services, QString appTitle);

    // Every failure on the way ends in the one "unavailable" message, owned by parent.
    void startSysInfo(QWidget* parent) const;

private:
    PlatformServices m_services;
    QString m_appTitle;
};
