#pragma once

#include <QString>

// The store under the file-type registration: a tree of keys below one root, each key with an
// unnamed default value. Paths are relative to the root, their parts joined by backslashes,
// matched without regard to case. Every operation reports whether the store allowed it.
class RegistryBackend
{
public:
    // A key's default value as stored: absent, a string, or a value of another type.
    struct DefaultValue
    {
        enum Kind { Absent, String, Other };
        Kind kind = Absent;
        QString text;
    };

    virtual ~RegistryBackend();

    // Opens the key, creating it and any missing key above it.
    virtual bool createKey(const QString &path) = 0;
    virtual bool keyExists(const QString &path) = 0;
    virtual bool setDefault(const QString &path, const QString &value) = 0;
    // An absent value also when the key cannot be read.
    virtual DefaultValue readDefault(const QString &path) = 0;
    // Deletes the key with everything below it.
    virtual bool deleteTree(const QString &path) = 0;
};
