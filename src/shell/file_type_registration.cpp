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

bool FileTypeRegistration::InstallExt(QString Ext, const QString &FileType,
                                      const QString &Description, const QString &ExePath,
                                      const QString &Param, int IconIndex)
{
    if (Ext.isEmpty())
        return false;
    if (!Ext.startsWith(u'.'))
        Ext.prepend(u'.');

    Registry reg(*m_registry);
    const bool hadExt = reg.keyExists(Ext);
    const bool hadType = reg.keyExists(u'\\' + FileType);
    if (!reg.openKey(Ext, true))
        return false;
    reg.writeDefault(FileType);
    if (!reg.openKey(u'\\' + FileType, true))
        return false;
    reg.writeDefault(Description);
    if (!reg.openKey(QStringLiteral("DefaultIcon"), true))
        return false;
    reg.writeDefault(ExePath + u',' + QString::number(IconIndex));
    if (!reg.openKey(u'\\' + FileType + QStringLiteral("\\Shell\\Open\\Command"), true))
        return false;
    reg.writeDefault(u'"' + ExePath + QStringLiteral("\" \"") + Param + u'"');
    reg.closeKey();

    if (!m_desktop)
        return true;
    try {
        m_desktop->install(Ext, Description, ExePath);
    } catch (const AppError &) {
        // Registration is all or nothing: the keys this call created go again, and the
        // desktop's error is the one reported.
        Registry undo(*m_registry);
        if (!hadExt)
            undo.deleteKey(Ext);
        if (!hadType)
            undo.deleteKey(u'\\' + FileType);
        throw;
    }
    return true;
}

bool FileTypeRegistration::UnInstallExt(QString Ext)
{
    if (Ext.isEmpty())
        return false;
    if (!Ext.startsWith(u'.'))
        Ext.prepend(u'.');

    Registry reg(*m_registry);
    if (!reg.keyExists(Ext))
        return false;
    reg.openKey(Ext, false);
    const QString type = reg.readDefault();
    reg.closeKey();
    if (type.isEmpty() || !reg.keyExists(u'\\' + type))
        return false;
    if (!reg.deleteKey(Ext))
        return false;
    if (!reg.deleteKey(u'\\' + type))
        return false;

    if (m_desktop)
        return m_desktop->uninstall(Ext);
    return true;
}
