#pragma once

#include "platform/Registry.h"

#include <QStringList>

// The registry on a system that has none: the key that names the system information tool answers with
// the first such desktop tool installed on the search path; every other key is missing.
class SystemToolRegistry : public Registry
{
public:
    // Empty search paths mean the system's PATH.
    explicit SystemToolRegistry(QStringList searchPaths = {});

    std::optional<KeyHandle> openKey(std::uint32_t root, const QString& path, std::uint32_t access) override;
    bool queryValue(KeyHandle key, const QString& name, std::uint32_t& type, QByteArray& buffer) override;
    void closeKey(KeyHandle key) override;

private:
    QStringList m_searchPaths;
    QString m_toolPath;
};
