#include "safe_save_file.h"

#include "platform/output_target.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <csignal>
#include <cstring>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Flushes and syncs file; an empty string on success, else the system's reason.
QString syncFile(QFileDevice &file)
{
    errno = 0;
    if (!file.flush())
        return errno != 0 ? systemReason(errno) : file.errorString();
#ifdef Q_OS_UNIX
    // Some file systems report a full disk only when the data goes out.
    if (::fsync(file.handle()) != 0 && errno != EINVAL && errno != EROFS)
        return systemReason(errno);
#endif
    return QString();
}

// Copies from's bytes from its start into to; an empty string on success, else why not.
QString copyAll(QFileDevice &from, QFileDevice &to)
{
    if (!from.seek(0))
        return from.errorString();
    QByteArray chunk(64 * 1024, Qt::Uninitialized);
    for (;;) {
        const qint64 got = from.read(chunk.data(), chunk.size());
        if (got < 0)
            return from.errorString();
        if (got == 0)
            break;
        errno = 0;
        if (to.write(chunk.constData(), got) != got)
            return errno != 0 ? systemReason(errno) : to.errorString();
    }
    return syncFile(to);
}

} // namespace

SafeSaveFile::SafeSaveFile(const QString &name) : QSaveFile(name)
{
    setDirectWriteFallback(true);
#ifdef Q_OS_UNIX
    // A write beyond the file size limit must fail with its reason, not end the program half-way.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
}

SafeSaveFile::~SafeSaveFile()
{
    // Abandoned half-way: the target gets its previous bytes back.
    if (m_previous && isOpen()) {
        cancelWriting();
        QSaveFile::commit();
        restorePrevious();
    }
}

bool SafeSaveFile::open(OpenMode mode)
{
    m_target = fileName();
    const QFileInfo target(m_target);
    if (const QString why = OutputTarget::refusal(m_target); !why.isEmpty()) {
        setErrorString(why);
        return false;
    }
    const bool inPlaceAllowed = directWriteFallback();
    setDirectWriteFallback(false);
    errno = 0;
    if (QSaveFile::open(mode))
        return true;
    const int error = errno;
    // Qt writes in place only when the folder refuses a new file; the previous bytes are kept
    // first, since a write cut short would otherwise leave a cut file.
    if (!inPlaceAllowed || !target.exists() ||
        (error != EACCES && QFileInfo(target.absolutePath()).isWritable()))
        return false;
    if (!keepPrevious())
        return false;
    setDirectWriteFallback(true);
    if (QSaveFile::open(mode))
        return true;
    m_previous.reset();
    return false;
}

bool SafeSaveFile::keepPrevious()
{
    QFile source(m_target);
    if (!source.open(QIODevice::ReadOnly)) {
        setErrorString(source.errorString());
        return false;
    }
    auto kept = std::make_unique<QTemporaryFile>(QDir::tempPath() +
                                                 QStringLiteral("/talmero-previous-XXXXXX"));
    if (!kept->open()) {
        setErrorString(kept->errorString());
        return false;
    }
    const QString why = copyAll(source, *kept);
    if (!why.isEmpty()) {
        setErrorString(why);
        return false;
    }
    m_previous = std::move(kept);
    return true;
}

QString SafeSaveFile::restorePrevious()
{
    QFile target(m_target);
    QString why;
    if (!target.open(QIODevice::WriteOnly | QIODevice::Truncate))
        why = target.errorString();
    else
        why = copyAll(*m_previous, target);
    if (!why.isEmpty()) {
        // Nothing lost: the previous bytes stay in the temporary folder.
        m_previous->setAutoRemove(false);
        why = QStringLiteral("%1; the previous file is kept as \"%2\"")
                  .arg(why, QDir::toNativeSeparators(m_previous->fileName()));
    }
    m_previous.reset();
    return why;
}

bool SafeSaveFile::commit()
{
    if (!isOpen())
        return QSaveFile::commit();
    QString reason = syncFile(*this);
    if (reason.isEmpty() && QSaveFile::commit()) {
        m_previous.reset();
        return true;
    }
    if (reason.isEmpty())
        reason = errorString();
    if (isOpen()) {
        cancelWriting();
        QSaveFile::commit(); // takes the temporary file away
    }
    if (m_previous) {
        const QString restore = restorePrevious();
        if (!restore.isEmpty())
            reason += QStringLiteral("; ") + restore;
    }
    // No reason known: errorString() then says "Unknown error".
    setErrorString(reason == QStringLiteral("Unknown error") ? QString() : reason);
    return false;
}
