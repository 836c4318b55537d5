#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

// Read access to the Windows registry in the shape of its ANSI interface: open a key with given rights,
// read one value into a caller's buffer, close the key. WindowsRegistry is the real one; tests hold one in
// memory.
class Registry
{
public:
    using KeyHandle = std::uintptr_t;

    static constexpr std::uint32_t LocalMachine = 0x80000002;
    // Query, set, create sub-key, enumerate, notify, create link and read control.
    static constexpr std::uint32_t QueryAndChangeAccess = 0x2003F;
    static constexpr std::uint32_t TextType = 1;
    static constexpr std::uint32_t NumberType = 4;

    virtual ~Registry() = default;

    // The open key, or nothing when the key is missing or cannot be opened with these rights.
    virtual std::optional<KeyHandle> openKey(std::uint32_t root, const QString& path, std::uint32_t access) = 0;
    // Copies the value's data to the start of buffer and sets its type. Fails when the value is missing
    // or its data does not fit into buffer.size() bytes; the buffer is then unspecified.
    virtual bool queryValue(KeyHandle key, const QString& name, std::uint32_t& type, QByteArray& buffer) = 0;
    virtual void closeKey(KeyHandle key) = 0;
};
