#pragma once

#include <cstdint>
#include <optional>

// The registry calls of the Windows platform layer, in plain C++ on the ANSI interface, so that they can
// be built and checked on their own (the Windows test program runs them under Wine). Windows only.
namespace Win32Registry {

using KeyHandle = std::uintptr_t;

// The open key, or nothing when the key is missing or cannot be opened with these rights. The root is a
// predefined key as its 32-bit value (0x80000002 for HKEY_LOCAL_MACHINE).
std::optional<KeyHandle> openKey(std::uint32_t root, const char* path, std::uint32_t access);

// Copies the value's data to the start of buffer and sets type and size (the bytes written). Fails when
// the value is missing or its data does not fit into bufferSize bytes.
bool queryValue(
    KeyHandle key, const char* name, std::uint32_t& type, char* buffer, std::uint32_t bufferSize, std::uint32_t& size);

void closeKey(KeyHandle key);

} // namespace Win32Registry
