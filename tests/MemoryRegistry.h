#pragma once

#include "platform/Registry.h"

#include <QMap>
#include <QStringList>

// A registry held in memory that records which keys were opened, with what rights, and which were closed.
class MemoryRegistry : public Registry
{
public:
    struct Value
    {
        std::uint32_t type = TextType;
        QByteArray data;
    };

    // A key that exists; one marked read-only cannot be opened with rights to change it.
    void addKey(const QString& path, bool readOnly = false);
    void setValue(const QString& path, const QString& name, Value value);

    std::optional<KeyHandle> openKey(std::uint32_t root, const QString& path, std::uint32_t access) override;
    bool queryValue(KeyHandle key, const QString& name, std::uint32_t& type, QByteArray& buffer) override;
    void closeKey(KeyHandle key) override;

    QStringList openAttempts() const { return m_openAttempts; }
    std::uint32_t lastAccess() const { return m_lastAccess; }
    qsizetype openKeyCount() const { return m_open.size(); }

private:
    struct Key
    {
        bool readOnly = false;
        QMap<QString, Value> values;
    };

    QMap<QString, Key> m_keys;
    QMap<KeyHandle, QString> m_open;
    KeyHandle m_nextHandle = 1;
    QStringList m_openAttempts;
    std::uint32_t m_lastAccess = 0;
};
