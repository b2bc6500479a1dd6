#include "safe_save_file.h"

#include <QFileInfo>

#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

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

bool SafeSaveFile::commit()
{
    if (!isOpen())
        return QSaveFile::commit();
    errno = 0;
    bool written = flush();
    int error = errno;
#ifdef Q_OS_UNIX
    // Some file systems report a full disk only when the data goes out.
    if (written && ::fsync(handle()) != 0 && errno != EINVAL && errno != EROFS) {
        written = false;
        error = errno;
    }
#endif
    if (written)
        return QSaveFile::commit();
    // No reason known: errorString() then says "Unknown error".
    const QString reason = error != 0 ? QString::fromLocal8Bit(std::strerror(error)) : QString();
    cancelWriting();
    QSaveFile::commit(); // takes the temporary file away
    setErrorString(reason);
    return false;
}
