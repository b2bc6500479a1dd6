#include "safe_save_file.h"

#include <QFileInfo>

SafeSaveFile::SafeSaveFile(const QString &name) : QSaveFile(name)
{
    setDirectWriteFallback(true);
}

bool SafeSaveFile::open(OpenMode mode)
{
    // QFileInfo follows links: what counts is the file the link points to. Only its type is
    // looked at, so a FIFO is never opened (which would block).
    const QFileInfo target(fileName());
    if (target.exists() && !target.isFile()) {
        setErrorString(target.isDir() ? QStringLiteral("Is a directory")
                                      : QStringLiteral("Not a regular file"));
        return false;
    }
    return QSaveFile::open(mode);
}
