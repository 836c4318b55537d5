#include "MemoryRegistry.h"

namespace {

// Rights beyond reading: set value, create sub-key, create link.
constexpr std::uint32_t ChangeRights = 0x0002 | 0x0004 | 0x0020;

} // namespace

void MemoryRegistry::addKey(const QString& path, bool readOnly)
{
    m_keys[path].readOnly = readOnly;
}

void MemoryRegistry::setValue(const QString& path, const QString& name, Value value)
{
    m_keys[path].values.insert(name, std::move(value));
}

std::optional<Registry::KeyHandle>
MemoryRegistry::openKey(std::uint32_t root, const QString& path, std::uint32_t access)
{
    m_openAttempts << path;
    m_lastAccess = access;
    const auto key = m_keys.constFind(path);
    if (root != LocalMachine || key == m_keys.cend() || (key->readOnly && (access & ChangeRights)))
        return std::nullopt;
    m_open.insert(m_nextHandle, path);
    return m_nextHandle++;
}

bool MemoryRegistry::queryValue(KeyHandle key, const QString& name, std::uint32_t& type, QByteArray& buffer)
{
    const QMap<QString, Value>& values = m_keys[m_open.value(key)].values;
    const auto value = values.constFind(name);
    if (value == values.cend() || value->data.size() > buffer.size())
        return false;
    type = value->type;
    buffer.replace(0, value->data.size(), value->data);
    return true;
}

void MemoryRegistry::closeKey(KeyHandle key)
{
    m_open.remove(key);
}
