#include "recovery_store.h"

#include "platform/bounded_file.h"
#include "platform/safe_save_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>
#include <algorithm>

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

// The files of the copy id in folder, all but its lock.
void removeCopy(const QDir &folder, const QString &id)
{
    const QDir::Filters everything = QDir::Files | QDir::Dirs | QDir::System | QDir::Hidden;
    for (const QString &name : folder.entryList({id + QStringLiteral(".*")}, everything)) {
        if (!name.endsWith(QStringLiteral(".lock")))
            removeEntry(folder.filePath(name));
    }
}

// The part of the copy whose document is at copyPath.
QString partPath(const QString &copyPath, const QString &part)
{
    const QFileInfo copy(copyPath);
    return copy.path() + u'/' + copy.completeBaseName() + u'.' + part;
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

RecoveryStore::RecoveryStore(const QString &folder) : m_folder(folder)
{
    // Several documents may be open in one process (the tests run many), so the process id
    // alone does not tell the copies apart.
    m_id = QStringLiteral("recovery-%1-%2")
               .arg(QCoreApplication::applicationPid())
               .arg(QUuid::createUuid().toString(QUuid::Id128).left(8));
    if (m_folder.isEmpty() || !QDir().mkpath(m_folder))
        return;
    // The copies hold the author's unsaved work: nobody else may read them.
    QFile::setPermissions(m_folder, kOwnerOnly | QFile::ExeOwner);
    m_lock = lockFile(file(m_id, ".lock"));
    if (!m_lock->tryLock(0))
        m_lock.reset();
    else
        QFile::setPermissions(file(m_id, ".lock"), kOwnerOnly);
}

RecoveryStore::~RecoveryStore() = default;

QString RecoveryStore::file(const QString &id, const char *suffix) const
{
    return QDir(m_folder).filePath(id + QLatin1String(suffix));
}

QString RecoveryStore::copyPath() const
{
    return m_lock ? file(m_id, ".dlg") : QString();
}

QString RecoveryStore::writePart(const QString &part, const QByteArray &bytes)
{
    if (!m_lock)
        return QStringLiteral("The recovery folder cannot be used.");
    const QString path = partPath(file(m_id, ".dlg"), part);
    if (bytes.isEmpty()) {
        QFile::remove(path);
        return QString();
    }
    SafeSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return file.errorString();
    QFile::setPermissions(path, kOwnerOnly);
    return QString();
}

bool RecoveryStore::setOriginalName(const QString &originalName)
{
    return writePart(QStringLiteral("name"), originalName.toUtf8()).isEmpty();
}

QByteArray RecoveryStore::Abandoned::part(const QString &name, qint64 maxBytes) const
{
    BoundedFile::Result part = BoundedFile::readOwn(partPath(copyPath, name), maxBytes);
    return part.ok() ? std::move(part.bytes) : QByteArray();
}

void RecoveryStore::protectCopy() const
{
    if (m_lock)
        QFile::setPermissions(file(m_id, ".dlg"), kOwnerOnly);
}

void RecoveryStore::discard()
{
    if (m_lock)
        removeCopy(QDir(m_folder), m_id);
}

QList<RecoveryStore::Abandoned> RecoveryStore::abandoned() const
{
    QList<Abandoned> copies;
    if (m_folder.isEmpty())
        return copies;
    const QDir folder(m_folder);
    const QDir::Filters everything = QDir::Files | QDir::Dirs | QDir::System | QDir::Hidden;
    // Locks of programs that ended without leaving a copy.
    for (const QString &lockName :
         folder.entryList({QStringLiteral("recovery-*.lock")}, everything, QDir::NoSort)) {
        const QString id = lockName.chopped(5);
        if (id == m_id || QFileInfo::exists(file(id, ".dlg")) ||
            QFileInfo(file(id, ".dlg")).isSymLink())
            continue;
        if (std::shared_ptr<QLockFile> lock = takeOver(file(id, ".lock"))) {
            removeCopy(folder, id);
            lock->unlock();
        }
    }
    for (const QString &copyName :
         folder.entryList({QStringLiteral("recovery-*.dlg")}, everything, QDir::NoSort)) {
        const QString id = copyName.chopped(4);
        if (id == m_id)
            continue;
        // A lock that another running program holds is left alone; a lock of a program that is
        // gone is taken over.
        std::shared_ptr<QLockFile> lock = takeOver(file(id, ".lock"));
        if (!lock)
            continue;
        const QString copyPath = file(id, ".dlg");
        if (!isPlainFile(copyPath)) {
            removeCopy(folder, id);
            lock->unlock();
            continue;
        }
        Abandoned copy{copyPath, QString(), QFileInfo(copyPath).lastModified(), lock};
        // Start-up must not block: only a regular file is read, and only as much as a path takes.
        copy.originalName = QString::fromUtf8(copy.part(QStringLiteral("name"), 64 * 1024));
        copies.append(copy);
    }
    std::sort(copies.begin(), copies.end(),
              [](const Abandoned &a, const Abandoned &b) { return a.written > b.written; });
    return copies;
}

void RecoveryStore::remove(Abandoned &copy)
{
    const QFileInfo path(copy.copyPath);
    removeCopy(path.dir(), path.completeBaseName());
    release(copy);
}

void RecoveryStore::release(Abandoned &copy)
{
    if (copy.lock)
        copy.lock->unlock();
    copy.lock.reset();
}
