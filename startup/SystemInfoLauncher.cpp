#include "startup/SystemInfoLauncher.h"

#include "platform/MessageBoxes.h"
#include "platform/Registry.h"

namespace {

const QString ToolKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString ToolValue = QStringLiteral("PATH");
const QString LocationKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
const QString LocationValue = QStringLiteral("MSINFO");
const QString ToolFileName = QStringLiteral("\\MSINFO32.EXE");

const QString UnavailableMessage = QStringLiteral("System Information Is Unavailable At This Time");

// A number value is shown as the decimal of its 32 bits, read least significant byte first.
QString numberText(const QByteArray& buffer)
{
    std::uint32_t number = 0;
    for (int index = 3; index >= 0; --index)
        number = (number << 8) | static_cast<std::uint8_t>(buffer[index]);
    return QString::number(number);
}

} // namespace

SystemInfoLauncher::UnterminatedValue::UnterminatedValue()
    : std::runtime_error("registry value without a terminating zero")
{
}

SystemInfoLauncher::SystemInfoLauncher(PlatformServices services, QString appTitle)
    : m_services(std::move(services))
    , m_appTitle(std::move(appTitle))
{
}

bool SystemInfoLauncher::getKeyValue(std::uint32_t root,
                                     const QString& keyPath,
                                     const QString& valueName,
                                     QString& valueText) const
{
    Registry& registry = *m_services.registry;
    const auto key = registry.openKey(root, keyPath, Registry::QueryAndChangeAccess);
    if (!key) {
        valueText.clear();
        return false;
    }

    QByteArray buffer(BufferSize, '\0');
    std::uint32_t type = 0;
    if (!registry.queryValue(*key, valueName, type, buffer)) {
        valueText.clear();
        registry.closeKey(*key);
        return false;
    }

    const qsizetype end = buffer.indexOf('\0');
    if (end < 0) {
        registry.closeKey(*key);
        throw UnterminatedValue();
    }

    if (type == Registry::TextType)
        valueText = QString::fromLocal8Bit(buffer.left(end));
    else if (type == Registry::NumberType)
        valueText = numberText(buffer);
    registry.closeKey(*key);
    return true;
}

std::optional<QString> SystemInfoLauncher::findTool() const
{
    QString value;
    // A path found under the tool's own key is taken as it is, even when stale: no fallback.
    if (getKeyValue(Registry::LocalMachine, ToolKey, ToolValue, value))
        return value;
    if (getKeyValue(Registry::LocalMachine, LocationKey, LocationValue, value)) {
        const QString path = value + ToolFileName;
        if (m_services.isFile(path))
            return path;
    }
    return std::nullopt;
}

void SystemInfoLauncher::startSysInfo(QWidget* parent) const
{
    try {
        if (const auto tool = findTool(); tool && m_services.startProgram(*tool))
            return;
    } catch (const UnterminatedValue&) {
    }
    MessageBoxes::show(parent, {MessageIcon::None, m_appTitle, UnavailableMessage});
}
