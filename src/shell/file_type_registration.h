#pragma once

#include <QString>

class DesktopAssociation;
class RegistryBackend;

// Associates a file extension with this program: four keys with their default values, and
// on freedesktop systems the desktop's own association besides them.
class FileTypeRegistration
{
public:
    // desktop may be none (Windows, where the keys themselves are the association).
    explicit FileTypeRegistration(RegistryBackend &registry,
                                  const DesktopAssociation *desktop = nullptr);

    // Writes Ext -> FileType, FileType -> Description, FileType\DefaultIcon -> "ExePath,Icon"
    // and FileType\Shell\Open\Command -> "\"ExePath\" \"Param\"". False when a key cannot be
    // opened or created; values written before stay written. A refused value throws AppError.
    bool InstallExt(QString Ext, const QString &FileType, const QString &Description,
                    const QString &ExePath, const QString &Param, int IconIndex);
    // Deletes the extension's key and the key of the type it names. False, with nothing
    // deleted, when the extension key is missing, names no type or names a missing one.
    bool UnInstallExt(QString Ext);

private:
    RegistryBackend &m_registry;
    const DesktopAssociation *m_desktop;
};
