#include "platform/SystemInfoTool.h"

#include <QStandardPaths>

namespace SystemInfoTool {

namespace {

// Desktop programs that show the machine's hardware and system details, in order of preference.
const QStringList DesktopTools
    = {QStringLiteral("hardinfo2"), QStringLiteral("hardinfo"), QStringLiteral("kinfocenter")};

// A number value is shown as the decimal of its 32 bits, read least significant byte first.
QString numberText(const QByteArray& buffer)
{
    std::uint32_t number = 0;
    for (int index = 3; index >= 0; --index)
        number = (number << 8) | static_cast<std::uint8_t>(buffer[index]);
    return QString::number(number);
}

} // namespace

UnterminatedValue::UnterminatedValue()
    : std::runtime_error("registry value without a terminating zero")
{
}

bool getKeyValue(
    Registry& registry, std::uint32_t root, const QString& keyPath, const QString& valueName, QString& valueText)
{
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

std::optional<QString> findInRegistry(Registry& registry, const std::function<bool(const QString& path)>& isFile)
{
    try {
        QString value;
        // A path found under the tool's own key is taken as it is, even when stale: no fallback.
        if (getKeyValue(registry, Registry::LocalMachine, ToolKey, ToolValue, value))
            return value;
        if (getKeyValue(registry, Registry::LocalMachine, LocationKey, LocationValue, value)) {
            const QString path = value + ToolFileName;
            if (isFile(path))
                return path;
        }
    } catch (const UnterminatedValue&) {
    }
    return std::nullopt;
}

std::optional<QString> findOnPath(const QStringList& searchPaths)
{
    for (const QString& name : DesktopTools) {
        const QString path = QStandardPaths::findExecutable(name, searchPaths);
        if (!path.isEmpty())
            return path;
    }
    return std::nullopt;
}

} // namespace SystemInfoTool
