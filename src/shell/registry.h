#pragma once

#include <QString>

class RegistryBackend;

// A session on the registry, the way the registration steps use it: a key path that begins
// with a backslash is taken from the root, one without is taken below the key opened last (or
// from the root while no key is open).
class Registry
{
public:
    explicit Registry(RegistryBackend &backend);

    // Opens the key (creating it when canCreate) and makes it the current key.
    bool openKey(const QString &key, bool canCreate);
    void closeKey();
    bool keyExists(const QString &key) const;
    // Sets the current key's default value; a refused store throws AppError
    // "Failed to set data for ''".
    void writeDefault(const QString &value);
    // The current key's default value, empty when absent; a value that is not a string throws
    // AppError "Invalid data type for ''".
    QString readDefault() const;
    bool deleteKey(const QString &key);

private:
    QString resolve(const QString &key) const;

    RegistryBackend &m_backend;
    bool m_open = false;
    QString m_current;
};
