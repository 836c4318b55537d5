#include "platform/WindowsRegistry.h"

#include "platform/Win32Registry.h"

std::optional<Registry::KeyHandle>
WindowsRegistry::openKey(std::uint32_t root, const QString& path, std::uint32_t access)
{
    return Win32Registry::openKey(root, path.toLocal8Bit().constData(), access);
}

bool WindowsRegistry::queryValue(KeyHandle key, const QString& name, std::uint32_t& type, QByteArray& buffer)
{
    std::uint32_t size = 0;
    return Win32Registry::queryValue(key, name.toLocal8Bit().constData(), type, buffer.data(),
                                     static_cast<std::uint32_t>(buffer.size()), size);
}

void WindowsRegistry::closeKey(KeyHandle key)
{
    Win32Registry::closeKey(key);
}
