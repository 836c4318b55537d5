#include "startup/SystemInfoLauncher.h"

#include "platform/MessageBoxes.h"

namespace {

const QString UnavailableMessage = QStringLiteral("System Information Is Unavailable At This Time");

} // namespace

SystemInfoLauncher::SystemInfoLauncher(PlatformServices services, QString appTitle)
    : m_services(std::move(services))
    , m_appTitle(std::move(appTitle))
{
}

void SystemInfoLauncher::startSysInfo(QWidget* parent) const
{
    if (const auto tool = m_services.findSystemInfoTool(); tool && m_services.startProgram(*tool))
        return;
    MessageBoxes::show(parent, {MessageIcon::None, m_appTitle, UnavailableMessage});
}
