#include "bounded_file.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace BoundedFile {

namespace {

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

Result failure(Status status, const QString &reason)
{
    Result result;
    result.status = status;
    result.reason = reason;
    return result;
}

Result notRegular()
{
    return failure(Status::NotRegular, QStringLiteral("Not a regular file"));
}

Result tooLarge()
{
    return failure(Status::TooLarge, systemReason(EFBIG));
}

// Reads until the end or until one byte more than the limit has arrived.
Result readLimited(QIODevice &device, qint64 maxBytes)
{
    Result result;
    const qint64 chunk = 64 * 1024;
    for (;;) {
        const qint64 room = maxBytes + 1 - result.bytes.size();
        if (room <= 0)
            return tooLarge();
        const qsizetype before = result.bytes.size();
        result.bytes.resize(before + qsizetype(std::min(room, chunk)));
        const qint64 got = device.read(result.bytes.data() + before, result.bytes.size() - before);
        if (got < 0)
            return failure(Status::Failed, device.errorString());
        result.bytes.resize(before + qsizetype(got));
        if (got == 0) // the end of the file, or a pipe's writer has closed it
            break;
    }
    result.status = Status::Ok;
    return result;
}

Result readFile(const QString &path, qint64 maxBytes, bool followLinks, bool probeOnly = false)
{
    if (path.isEmpty())
        return failure(Status::Missing, systemReason(ENOENT));
#ifdef Q_OS_UNIX
    // Opening without blocking and testing the opened descriptor leaves no moment in which a
    // FIFO swapped in after a check could hold the program.
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_RDONLY | O_NONBLOCK | O_CLOEXEC | (followLinks ? 0 : O_NOFOLLOW));
    if (fd < 0) {
        const int error = errno;
        if (error == ELOOP && !followLinks)
            return notRegular();
        return failure(error == ENOENT || error == ENOTDIR ? Status::Missing : Status::Failed,
                       systemReason(error));
    }
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return notRegular();
    }
    if (info.st_size > maxBytes) {
        ::close(fd);
        return tooLarge();
    }
    if (probeOnly) {
        ::close(fd);
        return Result{Status::Ok, {}, {}};
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return failure(Status::Failed, file.errorString());
    }
#else
    const QFileInfo info(path);
    if (!followLinks && info.isSymLink())
        return notRegular();
    if (!info.exists())
        return failure(Status::Missing, systemReason(ENOENT));
    if (!info.isFile())
        return notRegular();
    if (info.size() > maxBytes)
        return tooLarge();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure(Status::Failed, file.errorString());
    if (probeOnly)
        return Result{Status::Ok, {}, {}};
#endif
    return readLimited(file, maxBytes);
}

} // namespace

Result readRegular(const QString &path, qint64 maxBytes)
{
    return readFile(path, maxBytes, true);
}

Result probeRegular(const QString &path, qint64 maxBytes)
{
    return readFile(path, maxBytes, true, true);
}

Result readOwn(const QString &path, qint64 maxBytes)
{
    return readFile(path, maxBytes, false);
}

Result readNamed(const QString &path, qint64 maxBytes)
{
    if (QFileInfo(path).isDir())
        return failure(Status::Failed, systemReason(EISDIR));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        return failure(QFileInfo::exists(path) ? Status::Failed : Status::Missing,
                       file.errorString());
    }
    return readLimited(file, maxBytes);
}

} // namespace BoundedFile
