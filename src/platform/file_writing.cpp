#include "file_writing.h"

#include "platform/app_error.h"

#include "platform/safe_save_file.h"
#include <QFileInfo>

#include <cerrno>
#include <cstring>

namespace FileWriting {

QString reason(const QFileDevice &file, int savedErrno)
{
    // A failed commit leaves the device closed without an error code, but with its reason.
    if (!file.errorString().isEmpty() && file.errorString() != QStringLiteral("Unknown error"))
        return file.errorString();
    if (savedErrno != 0)
        return QString::fromLocal8Bit(std::strerror(savedErrno));
    return file.errorString();
}

void replace(const QString &path, const QByteArray &bytes)
{
    // Renaming a new file over a FIFO or a device (or a link to one) would destroy it.
    const QFileInfo target(path);
    if (target.exists() && !target.isFile())
        throw AppError::cannotCreate(path, QStringLiteral("Not a regular file"));
    SafeSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        const int error = errno;
        throw AppError::cannotCreate(path, reason(file, error));
    }
}

} // namespace FileWriting
