#include "platform/Win32Registry.h"

#include <windows.h>

namespace Win32Registry {

namespace {

HKEY toHkey(KeyHandle key)
{
    return reinterpret_cast<HKEY>(key);
}

} // namespace

std::optional<KeyHandle> openKey(std::uint32_t root, const char* path, std::uint32_t access)
{
    // Predefined keys are sign-extended 32-bit values, as the system headers define them.
    const auto rootKey = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(root)));
    HKEY key = nullptr;
    if (RegOpenKeyExA(rootKey, path, 0, access, &key) != ERROR_SUCCESS)
        return std::nullopt;
    return reinterpret_cast<KeyHandle>(key);
}

bool queryValue(
    KeyHandle key, const char* name, std::uint32_t& type, char* buffer, std::uint32_t bufferSize, std::uint32_t& size)
{
    DWORD valueType = 0;
    DWORD dataSize = bufferSize;
    if (RegQueryValueExA(toHkey(key), name, nullptr, &valueType, reinterpret_cast<BYTE*>(buffer), &dataSize)
        != ERROR_SUCCESS)
        return false;
    type = valueType;
    size = dataSize;
    return true;
}

void closeKey(KeyHandle key)
{
    RegCloseKey(toHkey(key));
}

} // namespace Win32Registry
