#include "recovery_store.h"

#include "platform/app_error.h"
#include "platform/bounded_file.h"
#include "platform/file_writing.h"
#include "platform/native_path.h"
#include "platform/safe_save_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>
#include <algorithm>
#include <cerrno>

namespace {

// A lock counts as held while its program runs, however old it is.
std::unique_ptr<QLockFile> lockFile(const QString &path)
{
    auto lock = std::make_unique<QLockFile>(path);
    lock->setStaleLockTime(0);
    return lock;
}

const QFile::Permissions kOwnerOnly = QFile::ReadOwner | QFile::WriteOwner;

// Something that is no regular file of its own (a link, a FIFO, a folder) has no business in the
// folder; it goes without being opened.
bool isPlainFile(const QString &path)
{
    const QFileInfo info(path);
    return !info.isSymLink() && info.isFile();
}

void removeEntry(const QString &path)
{
    if (!QFile::remove(path))
        QDir().rmdir(path);
}

QString pathIn(const QString &folder, const QString &id, const QString &suffix)
{
    return QDir(folder).filePath(id + suffix);
}

// The files of copy id in folder, the document's bytes and every part, each as its suffix
// (".dlg", ".name", ...); the lock is not one of them.
QStringList suffixesOf(const QString &folder, const QString &id)
{
    QStringList suffixes;
    const QDir::Filters everything =
        QDir::Files | QDir::Dirs | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot;
    for (const QString &name : QDir(folder).entryList({id + QStringLiteral(".*")}, everything)) {
        const QString suffix = name.mid(id.size());
        if (suffix != u".lock")
            suffixes.append(suffix);
    }
    return suffixes;
}

void removeCopy(const QString &folder, const QString &id)
{
    for (const QString &suffix : suffixesOf(folder, id))
        removeEntry(pathIn(folder, id, suffix));
}

// The lock of a program that is gone, taken over; null while its program runs. A lock that is
// no regular file, or that holds no readable owner (cut short by a crash while it was made),
// would otherwise keep its copy hidden for ever.
std::shared_ptr<QLockFile> takeOver(const QString &path)
{
    const QFileInfo info(path);
    if (info.isSymLink() || (info.exists() && !info.isFile()))
        removeEntry(path);
    std::shared_ptr<QLockFile> lock = lockFile(path);
    if (lock->tryLock(0))
        return lock;
    qint64 pid = 0;
    QString host;
    QString application;
    if (lock->error() == QLockFile::LockFailedError &&
        !lock->getLockInfo(&pid, &host, &application) && QFile::remove(path) && lock->tryLock(0)) {
        return lock;
    }
    return nullptr;
}

} // namespace

RecoveryStore::RecoveryStore(const QString &folder, const QStringList &olderFolders)
    : m_folder(folder), m_olderFolders(olderFolders)
{
    // Several documents may be open in one process (the tests run many), so the process id
    // alone does not tell the copies apart.
    m_id = QStringLiteral("recovery-%1-%2")
               .arg(QCoreApplication::applicationPid())
               .arg(QUuid::createUuid().toString(QUuid::Id128).left(8));
    if (m_folder.isEmpty())
        return;
    if (!QDir().mkpath(m_folder)) {
        m_problem = QStringLiteral("the folder %1 cannot be made").arg(nativePath(m_folder));
        return;
    }
    // The copies hold the author's unsaved work: nobody else may read them.
    QFile::setPermissions(m_folder, kOwnerOnly | QFile::ExeOwner);
    m_lock = lockFile(file(m_id, ".lock"));
    if (!m_lock->tryLock(0)) {
        m_problem =
            QStringLiteral("no file can be made in the folder %1").arg(nativePath(m_folder));
        m_lock.reset();
    } else {
        QFile::setPermissions(file(m_id, ".lock"), kOwnerOnly);
    }
}

RecoveryStore::~RecoveryStore() = default;

QString RecoveryStore::file(const QString &id, const char *suffix) const
{
    return pathIn(m_folder, id, QLatin1String(suffix));
}

QString RecoveryStore::copyPath() const
{
    return m_lock ? file(m_id, ".dlg") : QString();
}

QString RecoveryStore::writePart(const QString &part, const QByteArray &bytes)
{
    if (!m_lock)
        return m_problem;
    const QString path = pathIn(m_folder, m_id, u'.' + part);
    SafeSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return AppError::cannotCreate(path, FileWriting::reason(file, errno)).text();
    QFile::setPermissions(path, kOwnerOnly);
    return QString();
}

bool RecoveryStore::setOriginalName(const QString &originalName)
{
    return writePart(QStringLiteral("name"), originalName.toUtf8()).isEmpty();
}

void RecoveryStore::protectCopy() const
{
    if (m_lock)
        QFile::setPermissions(file(m_id, ".dlg"), kOwnerOnly);
}

void RecoveryStore::discard()
{
    if (m_lock)
        removeCopy(m_folder, m_id);
}

void RecoveryStore::handOver()
{
    if (m_lock)
        m_lock->unlock();
    m_lock.reset();
}

bool RecoveryStore::adopt(Abandoned &copy)
{
    if (!m_lock)
        return false;
    discard();
    const QFileInfo info(copy.copyPath);
    const QString folder = info.path();
    const QString id = info.completeBaseName();
    QStringList moved;
    for (const QString &suffix : suffixesOf(folder, id)) {
        if (!QFile::rename(pathIn(folder, id, suffix), pathIn(m_folder, m_id, suffix))) {
            // All or nothing: a copy split in two would be offered as two halves.
            for (const QString &back : std::as_const(moved))
                QFile::rename(pathIn(m_folder, m_id, back), pathIn(folder, id, back));
            return false;
        }
        moved.append(suffix);
    }
    release(copy);
    return true;
}

QByteArray RecoveryStore::Abandoned::part(const QString &name, qint64 maxBytes) const
{
    const QFileInfo info(copyPath);
    // Read without following a link or waiting on a FIFO that took the part's place.
    const BoundedFile::Result bytes =
        BoundedFile::readOwn(pathIn(info.path(), info.completeBaseName(), u'.' + name), maxBytes);
    return bytes.ok() ? bytes.bytes : QByteArray();
}

QList<RecoveryStore::Abandoned> RecoveryStore::abandoned() const
{
    QList<Abandoned> copies;
    for (const QString &folderPath : QStringList{m_folder} + m_olderFolders) {
        if (folderPath.isEmpty() || !QFileInfo(folderPath).isDir())
            continue;
        const QDir folder(folderPath);
        const auto at = [&](const QString &id, const char *suffix) {
            return pathIn(folderPath, id, QLatin1String(suffix));
        };
        const QDir::Filters everything = QDir::Files | QDir::Dirs | QDir::System | QDir::Hidden;
        // Locks of programs that ended without leaving a copy.
        for (const QString &lockName :
             folder.entryList({QStringLiteral("recovery-*.lock")}, everything, QDir::NoSort)) {
            const QString id = lockName.chopped(5);
            if (id == m_id || QFileInfo::exists(at(id, ".dlg")) ||
                QFileInfo(at(id, ".dlg")).isSymLink())
                continue;
            if (std::shared_ptr<QLockFile> lock = takeOver(at(id, ".lock"))) {
                removeCopy(folderPath, id);
                lock->unlock();
            }
        }
        for (const QString &copyName :
             folder.entryList({QStringLiteral("recovery-*.dlg")}, everything, QDir::NoSort)) {
            const QString id = copyName.chopped(4);
            if (id == m_id)
                continue;
            // A lock that another running program holds is left alone; a lock of a program
            // that is gone is taken over.
            std::shared_ptr<QLockFile> lock = takeOver(at(id, ".lock"));
            if (!lock)
                continue;
            const QString copyPath = at(id, ".dlg");
            if (!isPlainFile(copyPath)) {
                removeCopy(folderPath, id);
                lock->unlock();
                continue;
            }
            Abandoned copy{copyPath, QString(), QFileInfo(copyPath).lastModified(), lock};
            // Start-up must not block: only a regular file is read, and only as much as a
            // path takes.
            copy.originalName = QString::fromUtf8(copy.part(QStringLiteral("name"), 64 * 1024));
            copies.append(copy);
        }
    }
    std::sort(copies.begin(), copies.end(),
              [](const Abandoned &a, const Abandoned &b) { return a.written > b.written; });
    return copies;
}

void RecoveryStore::remove(Abandoned &copy)
{
    const QFileInfo info(copy.copyPath);
    removeCopy(info.path(), info.completeBaseName());
    release(copy);
}

void RecoveryStore::release(Abandoned &copy)
{
    if (copy.lock)
        copy.lock->unlock();
    copy.lock.reset();
}
