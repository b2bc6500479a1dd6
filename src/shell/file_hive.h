#pragma once

#include "registry_backend.h"

#include <QJsonValue>
#include <QString>
#include <QStringList>
#include <vector>

// The registry on systems without one: the same key tree kept in a JSON file (by default in
// the user's configuration folder). The file is read for every operation and replaced as a
// whole after every change, so two sessions see each other's keys as they would in the
// registry. A hive opened read-only refuses every change, as a registry opened without write
// rights does. A file that cannot be parsed is never overwritten: every operation on it fails.
class FileHive : public RegistryBackend
{
public:
    enum Access { ReadWrite, ReadOnly };
    // A hive holds a handful of keys; a larger file is refused as unreadable.
    static constexpr qint64 MaxFileSize = 4 * 1024 * 1024;

    explicit FileHive(QString fileName, Access access = ReadWrite);

    // <GenericConfigLocation>/talmero/registry.json
    static QString defaultFileName();

    const QString &fileName() const { return m_fileName; }

    bool createKey(const QString &path) override;
    bool keyExists(const QString &path) override;
    bool setDefault(const QString &path, const QString &value) override;
    DefaultValue readDefault(const QString &path) override;
    bool deleteTree(const QString &path) override;

private:
    struct Key
    {
        QString name;
        QJsonValue value = QJsonValue(QJsonValue::Undefined); // undefined: no default value
        std::vector<Key> children;
    };

    static QStringList split(const QString &path);
    static Key *find(Key &root, const QStringList &parts);
    static Key *child(Key &key, const QString &name);
    static Key fromJson(const QJsonValue &json);
    static QJsonValue toJson(const Key &key);

    bool load(Key &root) const;
    bool save(const Key &root) const;

    QString m_fileName;
    Access m_access;
};
