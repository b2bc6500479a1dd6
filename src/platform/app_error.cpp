#include "app_error.h"

#include "platform/native_path.h"

AppError::AppError(QString text) : m_text(std::move(text)), m_utf8(m_text.toUtf8()) {}

QString AppError::boxText(const QString &text)
{
    if (!text.isEmpty() && text.back().unicode() > u'.')
        return text + u'.';
    return text;
}

AppError AppError::cannotOpen(const QString &path, const QString &reason)
{
    return AppError(QStringLiteral("Cannot open file \"%1\". %2").arg(nativePath(path), reason));
}

AppError AppError::cannotCreate(const QString &path, const QString &reason)
{
    return AppError(QStringLiteral("Cannot create file \"%1\". %2").arg(nativePath(path), reason));
}
