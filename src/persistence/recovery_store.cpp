#include "recovery_store.h"

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
    m_lock = lockFile(file(m_id, ".lock"));
    if (!m_lock->tryLock(0))
        m_lock.reset();
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

bool RecoveryStore::setOriginalName(const QString &originalName)
{
    if (!m_lock)
        return false;
    SafeSaveFile name(file(m_id, ".name"));
    const QByteArray bytes = originalName.toUtf8();
    return name.open(QIODevice::WriteOnly) && name.write(bytes) == bytes.size() && name.commit();
}

void RecoveryStore::discard()
{
    if (!m_lock)
        return;
    QFile::remove(file(m_id, ".dlg"));
    QFile::remove(file(m_id, ".name"));
}

QList<RecoveryStore::Abandoned> RecoveryStore::abandoned() const
{
    QList<Abandoned> copies;
    if (m_folder.isEmpty())
        return copies;
    const QFileInfoList found = QDir(m_folder).entryInfoList(
        {QStringLiteral("recovery-*.dlg")}, QDir::Files | QDir::Hidden, QDir::NoSort);
    for (const QFileInfo &copy : found) {
        const QString id = copy.completeBaseName();
        if (id == m_id)
            continue;
        // A lock that another running program holds is left alone; a lock of a program that is
        // gone is taken over.
        std::shared_ptr<QLockFile> lock = lockFile(file(id, ".lock"));
        if (!lock->tryLock(0))
            continue;
        // Start-up must not block: only a regular file is read, and only as much as a path takes.
        QString originalName;
        QFile name(file(id, ".name"));
        if (QFileInfo(name).isFile() && name.open(QIODevice::ReadOnly))
            originalName = QString::fromUtf8(name.read(64 * 1024));
        copies.append({copy.filePath(), originalName, copy.lastModified(), lock});
    }
    std::sort(copies.begin(), copies.end(),
              [](const Abandoned &a, const Abandoned &b) { return a.written > b.written; });
    return copies;
}

void RecoveryStore::remove(Abandoned &copy)
{
    QFile::remove(copy.copyPath);
    QFile::remove(QFileInfo(copy.copyPath).path() + u'/' +
                  QFileInfo(copy.copyPath).completeBaseName() + QStringLiteral(".name"));
    release(copy);
}

void RecoveryStore::release(Abandoned &copy)
{
    if (copy.lock)
        copy.lock->unlock();
    copy.lock.reset();
}
