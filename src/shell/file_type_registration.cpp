#include "file_type_registration.h"

#include "file_hive.h"
#include "platform/app_error.h"
#include "registry.h"
#include "win_registry.h"

FileTypeRegistration::FileTypeRegistration(std::unique_ptr<RegistryBackend> registry,
                                           std::optional<DesktopAssociation> desktop)
    : m_registry(std::move(registry)), m_desktop(std::move(desktop))
{
}

std::unique_ptr<FileTypeRegistration> FileTypeRegistration::forCurrentUser()
{
#ifdef Q_OS_WIN
    return std::make_unique<FileTypeRegistration>(std::make_unique<WinRegistry>());
#else
    return std::make_unique<FileTypeRegistration>(
        std::make_unique<FileHive>(FileHive::defaultFileName()),
        DesktopAssociation::forCurrentUser());
#endif
}

bool FileTypeRegistration::registerExtension(QString extension, const QString &fileType,
                                             const QString &description, const QString &exePath,
                                             const QString &parameter, int iconIndex)
{
    if (extension.isEmpty())
        return false;
    if (!extension.startsWith(u'.'))
        extension.prepend(u'.');

    Registry reg(*m_registry);
    const bool hadExtension = reg.keyExists(extension);
    const bool hadType = reg.keyExists(u'\\' + fileType);
    if (!reg.openKey(extension, true))
        return false;
    reg.writeDefault(fileType);
    if (!reg.openKey(u'\\' + fileType, true))
        return false;
    reg.writeDefault(description);
    if (!reg.openKey(QStringLiteral("DefaultIcon"), true))
        return false;
    reg.writeDefault(exePath + u',' + QString::number(iconIndex));
    if (!reg.openKey(u'\\' + fileType + QStringLiteral("\\Shell\\Open\\Command"), true))
        return false;
    reg.writeDefault(u'"' + exePath + QStringLiteral("\" \"") + parameter + u'"');
    reg.closeKey();

    if (!m_desktop)
        return true;
    try {
        m_desktop->install(extension, description, exePath);
    } catch (const AppError &) {
        // Registration is all or nothing: the keys this call created go again, and the
        // desktop's error is the one reported.
        Registry undo(*m_registry);
        if (!hadExtension)
            undo.deleteKey(extension);
        if (!hadType)
            undo.deleteKey(u'\\' + fileType);
        throw;
    }
    return true;
}

bool FileTypeRegistration::unregisterExtension(QString extension)
{
    if (extension.isEmpty())
        return false;
    if (!extension.startsWith(u'.'))
        extension.prepend(u'.');

    Registry reg(*m_registry);
    if (!reg.keyExists(extension))
        return false;
    reg.openKey(extension, false);
    const QString type = reg.readDefault();
    reg.closeKey();
    if (type.isEmpty() || !reg.keyExists(u'\\' + type))
        return false;
    if (!reg.deleteKey(extension))
        return false;
    if (!reg.deleteKey(u'\\' + type))
        return false;

    if (m_desktop)
        return m_desktop->uninstall(extension);
    return true;
}
