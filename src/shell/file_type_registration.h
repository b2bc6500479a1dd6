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

    // Writes extension -> fileType, fileType -> description, fileType\DefaultIcon ->
    // "exePath,iconIndex" and fileType\Shell\Open\Command -> "\"exePath\" \"parameter\"". False
    // when a key cannot be opened or created; values written before stay written. A refused value
    // throws AppError.
    bool registerExtension(QString extension, const QString &fileType, const QString &description,
                           const QString &exePath, const QString &parameter, int iconIndex);
    // Deletes the extension's key and the key of the type it names. False, with nothing
    // deleted, when the extension key is missing, names no type or names a missing one.
    bool unregisterExtension(QString extension);

private:
    std::unique_ptr<RegistryBackend> m_registry;
    std::optional<DesktopAssociation> m_desktop;
};
