#pragma once

#include "platform/Registry.h"

// The Windows registry through its ANSI interface.
class WindowsRegistry : public Registry
{
public:
    std::optional<KeyHandle> openKey(std::uint32_t root, const QString& path, std::uint32_t access) override;
    bool queryValue(KeyHandle key, const QString& name, std::uint32_t& type, QByteArray& buffer) override;
    void closeKey(KeyHandle key) override;
};
