#include "WindowsRegistry.h"

#include <windows.h>

namespace {

HKEY toHkey(Registry::KeyHandle key)
{
    return reinterpret_cast<HKEY>(key);
}

} // namespace

std::optional<Registry::KeyHandle>
WindowsRegistry::openKey(std::uint32_t root, const QString& path, std::uint32_t access)
{
    // Predefined keys are sign-extended 32-bit values, as the system headers define them.
    const auto rootKey = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(root)));
    HKEY key = nullptr;
    if (RegOpenKeyExA(rootKey, path.toLocal8Bit().constData(), 0, access, &key) != ERROR_SUCCESS)
        return std::nullopt;
    return reinterpret_cast<KeyHandle>(key);
}

bool WindowsRegistry::queryValue(KeyHandle key, const QString& name, std::uint32_t& type, QByteArray& buffer)
{
    DWORD valueType = 0;
    auto size = static_cast<DWORD>(buffer.size());
    const LONG result = RegQueryValueExA(toHkey(key), name.toLocal8Bit().constData(), nullptr, &valueType,
                                         reinterpret_cast<BYTE*>(buffer.data()), &size);
    if (result != ERROR_SUCCESS)
        return false;
    type = valueType;
    return true;
}

void WindowsRegistry::closeKey(KeyHandle key)
{
    RegCloseKey(toHkey(key));
}
