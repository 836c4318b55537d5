#pragma once

#include "platform/PlatformServices.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <stdexcept>

class QWidget;

// Finds the operating system's system information tool through the registry and starts it, or tells
// the user that it is unavailable.
class SystemInfoLauncher
{
public:
    // Raised when a value fills the whole read buffer without a terminating zero.
    class UnterminatedValue : public std::runtime_error
    {
    public:
        UnterminatedValue();
    };

    static constexpr qsizetype BufferSize = 1024;

    SystemInfoLauncher(PlatformServices services, QString appTitle);

    // Reads one value as text. A missing key or value, or one larger than the buffer, gives false and an
    // empty text; a value of another type than text or number leaves valueText as passed in.
    bool getKeyValue(std::uint32_t root, const QString& keyPath, const QString& valueName, QString& valueText) const;
    // Every failure on the way ends in the one "unavailable" message, owned by parent.
    void startSysInfo(QWidget* parent) const;

private:
    std::optional<QString> findTool() const;

    PlatformServices m_services;
    QString m_appTitle;
};
