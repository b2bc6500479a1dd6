#include "file_hive.h"

#include "platform/bounded_file.h"
#include "platform/safe_save_file.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>

FileHive::FileHive(QString fileName, Access access)
    : m_fileName(std::move(fileName)), m_access(access)
{
}

QString FileHive::defaultFileName()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/talmero/registry.json");
}

QStringList FileHive::split(const QString &path)
{
    return path.split(u'\\', Qt::SkipEmptyParts);
}

FileHive::Key *FileHive::child(Key &key, const QString &name)
{
    for (Key &candidate : key.children) {
        if (candidate.name.compare(name, Qt::CaseInsensitive) == 0)
            return &candidate;
    }
    return nullptr;
}

FileHive::Key *FileHive::find(Key &root, const QStringList &parts)
{
    Key *key = &root;
    for (const QString &part : parts) {
        key = child(*key, part);
        if (!key)
            return nullptr;
    }
    return key;
}

FileHive::Key FileHive::fromJson(const QJsonValue &json)
{
    const QJsonObject object = json.toObject();
    Key key;
    key.name = object.value(QStringLiteral("name")).toString();
    key.value = object.value(QStringLiteral("default"));
    const QJsonArray children = object.value(QStringLiteral("keys")).toArray();
    for (const QJsonValue &entry : children)
        key.children.push_back(fromJson(entry));
    return key;
}

QJsonValue FileHive::toJson(const Key &key)
{
    QJsonObject object;
    object.insert(QStringLiteral("name"), key.name);
    if (!key.value.isUndefined())
        object.insert(QStringLiteral("default"), key.value);
    if (!key.children.empty()) {
        QJsonArray children;
        for (const Key &entry : key.children)
            children.append(toJson(entry));
        object.insert(QStringLiteral("keys"), children);
    }
    return object;
}

bool FileHive::load(Key &root) const
{
    const BoundedFile::Result file = BoundedFile::readRegular(m_fileName, MaxFileSize);
    if (file.status == BoundedFile::Status::Missing) {
        root = Key();
        return true;
    }
    if (!file.ok())
        return false;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(file.bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return false;
    root = fromJson(document.object());
    return true;
}

bool FileHive::save(const Key &root) const
{
    if (m_access == ReadOnly)
        return false;
    if (!QDir().mkpath(QFileInfo(m_fileName).absolutePath()))
        return false;
    // Renaming the new hive over a FIFO or a device would destroy it.
    const QFileInfo existing(m_fileName);
    if (existing.exists() && !existing.isFile())
        return false;
    SafeSaveFile file(m_fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(QJsonDocument(toJson(root).toObject()).toJson());
    return file.commit();
}

bool FileHive::createKey(const QString &path)
{
    Key root;
    if (!load(root))
        return false;
    const QStringList parts = split(path);
    Key *key = &root;
    bool created = false;
    for (const QString &part : parts) {
        Key *next = child(*key, part);
        if (!next) {
            key->children.push_back(Key{part, QJsonValue(QJsonValue::Undefined), {}});
            next = &key->children.back();
            created = true;
        }
        key = next;
    }
    // Opening a key that exists changes nothing, so it needs no write rights.
    return !created || save(root);
}

bool FileHive::keyExists(const QString &path)
{
    Key root;
    return load(root) && find(root, split(path));
}

bool FileHive::setDefault(const QString &path, const QString &value)
{
    Key root;
    if (!load(root))
        return false;
    Key *key = find(root, split(path));
    if (!key)
        return false;
    key->value = value;
    return save(root);
}

RegistryBackend::DefaultValue FileHive::readDefault(const QString &path)
{
    Key root;
    if (!load(root))
        return {};
    const Key *key = find(root, split(path));
    if (!key || key->value.isUndefined())
        return {};
    if (!key->value.isString())
        return {DefaultValue::Other, QString()};
    return {DefaultValue::String, key->value.toString()};
}

bool FileHive::deleteTree(const QString &path)
{
    const QStringList parts = split(path);
    // The root itself cannot be deleted.
    if (parts.isEmpty())
        return false;
    Key root;
    if (!load(root))
        return false;
    Key *parent = find(root, parts.mid(0, parts.size() - 1));
    if (!parent)
        return false;
    const auto found =
        std::find_if(parent->children.begin(), parent->children.end(), [&](const Key &key) {
            return key.name.compare(parts.last(), Qt::CaseInsensitive) == 0;
        });
    if (found == parent->children.end())
        return false;
    parent->children.erase(found);
    return save(root);
}
