#include "platform/SystemToolRegistry.h"

#include <QStandardPaths>

namespace {

constexpr Registry::KeyHandle ToolKey = 1;

const QString ToolKeyPath = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString ToolValueName = QStringLiteral("PATH");

// Desktop programs that show the machine's hardware and system details, in order of preference.
const QStringList ToolNames = {QStringLiteral("hardinfo2"), QStringLiteral("hardinfo"), QStringLiteral("kinfocenter")};

} // namespace

SystemToolRegistry::SystemToolRegistry(QStringList searchPaths)
    : m_searchPaths(std::move(searchPaths))
{
}

std::optional<Registry::KeyHandle> SystemToolRegistry::openKey(std::uint32_t root, const QString& path, std::uint32_t)
{
    if (root != LocalMachine || path.compare(ToolKeyPath, Qt::CaseInsensitive) != 0)
        return std::nullopt;
    // The tool is looked up on every opening, so one installed while the program runs is found.
    for (const QString& name : ToolNames) {
        m_toolPath = QStandardPaths::findExecutable(name, m_searchPaths);
        if (!m_toolPath.isEmpty())
            return ToolKey;
    }
    return std::nullopt;
}

bool SystemToolRegistry::queryValue(KeyHandle key, const QString& name, std::uint32_t& type, QByteArray& buffer)
{
    if (key != ToolKey || name.compare(ToolValueName, Qt::CaseInsensitive) != 0)
        return false;
    const QByteArray data = m_toolPath.toLocal8Bit() + '\0';
    if (data.size() > buffer.size())
        return false;
    type = TextType;
    buffer.replace(0, data.size(), data);
    return true;
}

void SystemToolRegistry::closeKey(KeyHandle) { }
