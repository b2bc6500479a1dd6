#include "registry.h"

#include "platform/app_error.h"
#include "registry_backend.h"

#include <QStringList>

Registry::Registry(RegistryBackend &backend) : m_backend(backend) {}

QString Registry::resolve(const QString &key) const
{
    QStringList parts;
    if (m_open && !key.startsWith(u'\\'))
        parts = m_current.split(u'\\', Qt::SkipEmptyParts);
    // Empty parts (doubled or trailing backslashes) name no key of their own.
    parts += key.split(u'\\', Qt::SkipEmptyParts);
    return parts.join(u'\\');
}

bool Registry::openKey(const QString &key, bool canCreate)
{
    const QString path = resolve(key);
    const bool opened = canCreate ? m_backend.createKey(path) : m_backend.keyExists(path);
    if (opened) {
        m_current = path;
        m_open = true;
    }
    return opened;
}

void Registry::closeKey()
{
    m_open = false;
    m_current.clear();
}

bool Registry::keyExists(const QString &key) const
{
    return m_backend.keyExists(resolve(key));
}

void Registry::writeDefault(const QString &value)
{
    // Only the unnamed default value is ever written, so the name in the text is empty.
    if (!m_open || !m_backend.setDefault(m_current, value))
        throw AppError(QStringLiteral("Failed to set data for '%1'").arg(QString()));
}

QString Registry::readDefault() const
{
    if (!m_open)
        return QString();
    const RegistryBackend::DefaultValue value = m_backend.readDefault(m_current);
    if (value.kind == RegistryBackend::DefaultValue::Other)
        throw AppError(QStringLiteral("Invalid data type for '%1'").arg(QString()));
    return value.text;
}

bool Registry::deleteKey(const QString &key)
{
    return m_backend.deleteTree(resolve(key));
}
