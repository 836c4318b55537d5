#pragma once

#include "platform/Registry.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>

// Finding the operating system's system information tool, the program that the About box's
// "System Info..." button starts. Windows names it in the registry; other systems have programs of
// that kind on the search path.
namespace SystemInfoTool {

// Where Windows names the tool: its own key holds the tool's full path; failing that, the shared tools'
// location key holds the folder it lies in.
inline const QString ToolKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
inline const QString ToolValue = QStringLiteral("PATH");
inline const QString LocationKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
inline const QString LocationValue = QStringLiteral("MSINFO");
inline const QString ToolFileName = QStringLiteral("\\MSINFO32.EXE");

// The size of the buffer a registry value is read into.
constexpr qsizetype BufferSize = 1024;

// Raised when a value fills the whole read buffer without a terminating zero.
class UnterminatedValue : public std::runtime_error
{
public:
    UnterminatedValue();
};

// Reads one value as text. A missing key or value, or one larger than the buffer, gives false and an
// empty text; a value of another type than text or number leaves valueText as passed in.
bool getKeyValue(
    Registry& registry, std::uint32_t root, const QString& keyPath, const QString& valueName, QString& valueText);

// The tool as the registry names it. A path under the tool's own key is taken as it is, even when stale;
// a folder under the location key counts only when isFile finds the tool in it. A value without its
// terminating zero means no tool.
std::optional<QString> findInRegistry(Registry& registry, const std::function<bool(const QString& path)>& isFile);

// The first installed desktop program that shows the machine's hardware and system details, in order of
// preference; empty search paths mean the system's PATH. Looked up on every call, so a tool installed
// while the program runs is found.
std::optional<QString> findOnPath(const QStringList& searchPaths = {});

} // namespace SystemInfoTool
