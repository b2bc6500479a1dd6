#include "file_writing.h"

#include "platform/app_error.h"
#include "platform/output_target.h"
#include "platform/safe_save_file.h"

#include <QFile>
#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

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

void replace(const QString &path, const QByteArray &bytes, const QStringList &inputs)
{
    OutputTarget::check(path, inputs);
    SafeSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        const int error = errno;
        throw AppError::cannotCreate(path, reason(file, error));
    }
}

QString copyToNew(const QString &source, const QString &target)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return in.errorString();
    // NewOnly: neither a file nor a link that is there already is written through.
    QFile out(target);
    if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
        return out.errorString();
    QString why;
    QByteArray chunk(64 * 1024, Qt::Uninitialized);
    for (;;) {
        const qint64 got = in.read(chunk.data(), chunk.size());
        if (got < 0) {
            why = in.errorString();
            break;
        }
        if (got == 0)
            break;
        errno = 0;
        if (out.write(chunk.constData(), got) != got) {
            why = reason(out, errno);
            break;
        }
    }
#ifdef Q_OS_UNIX
    // Some file systems report a full disk only when the data goes out.
    if (why.isEmpty() && ::fsync(out.handle()) != 0 && errno != EINVAL && errno != EROFS)
        why = QString::fromLocal8Bit(std::strerror(errno));
#endif
    if (!why.isEmpty()) {
        out.remove(); // a cut copy would pass for the whole file
        return why;
    }
    out.setPermissions(in.permissions());
    return QString();
}

} // namespace FileWriting
