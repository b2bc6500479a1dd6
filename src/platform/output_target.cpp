#include "output_target.h"

#include "platform/app_error.h"
#include "platform/native_path.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace OutputTarget {

bool sameFile(const QString &a, const QString &b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
#ifdef Q_OS_UNIX
    struct stat first;
    struct stat second;
    return ::stat(QFile::encodeName(a).constData(), &first) == 0 &&
           ::stat(QFile::encodeName(b).constData(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
#else
    const QString canonical = QFileInfo(a).canonicalFilePath();
    return !canonical.isEmpty() &&
           canonical.compare(QFileInfo(b).canonicalFilePath(), Qt::CaseInsensitive) == 0;
#endif
}

QString refusal(const QString &path, const QStringList &inputs)
{
    // QFileInfo follows links: what counts is what a link points to. Only the type is looked
    // at, so a FIFO is never opened.
    const QFileInfo target(path);
    if (target.isDir())
        return QStringLiteral("Is a directory");
    if (target.exists() && !target.isFile())
        return QStringLiteral("Not a regular file");
    for (const QString &input : inputs) {
        if (sameFile(path, input))
            return QStringLiteral("It is the same file as the input \"%1\"").arg(nativePath(input));
    }
    return QString();
}

void check(const QString &path, const QStringList &inputs)
{
    const QString why = refusal(path, inputs);
    if (!why.isEmpty())
        throw AppError::cannotCreate(path, why);
}

} // namespace OutputTarget
