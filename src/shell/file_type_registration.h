#pragma once

#include "desktop_association.h"
#include "registry_backend.h"

#include <QString>
#include <memory>
#include <optional>

// Associates a file extension with this program: four keys with their default values, and
// on freedesktop systems the desktop's own association besides them.
class FileTypeRegistration
{
public:
    // desktop may be none (Windows, where the keys themselves are the association).
    explicit FileTypeRegistration(std::unique_ptr<RegistryBackend> registry,
                                  std::optional<DesktopAssociation> desktop = std::nullopt);

    // Windows: the registry below HKEY_CLASSES_ROOT. Elsewhere: the file hive in the user's
    // configuration folder and the desktop association of the current user.
    static std::unique_ptr<FileTypeRegistration> forCurrentUser();

    // Writes Ext -> FileType, FileType -> Description, FileType\DefaultIcon -> "ExePath,Icon"
    // and FileType\Shell\Open\Command -> "\"ExePath\" \"Param\"". False when a key cannot be
    // opened or created; values written before stay written. A refused value throws AppError.
    bool InstallExt(QString Ext, const QString &FileType, const QString &Description,
                    const QString &ExePath, const QString &Param, int IconIndex);
    // Deletes the extension's key and the key of the type it names. False, with nothing
    // deleted, when the extension key is missing, names no type or names a missing one.
    bool UnInstallExt(QString Ext);

private:
    std::unique_ptr<RegistryBackend> m_registry;
    std::optional<DesktopAssociation> m_desktop;
};
