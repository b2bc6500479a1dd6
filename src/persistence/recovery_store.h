#pragma once

#include <QDateTime>
#include <QList>
#include <QLockFile>
#include <QString>
#include <QStringList>
#include <memory>

// The recovery copies of the running programs, in one folder: each program keeps at most one
// copy of its unsaved document there ("<id>.dlg"), under a lock ("<id>.lock") that it holds
// while it runs. Beside the document's bytes a copy has named parts, "<id>.<part>": "name"
// holds the name of the document's file, and a feature with unsaved state of its own keeps it
// in a part of its own (writePart, Abandoned::part), which discard, remove and adopt treat with
// the rest of the copy. A copy whose lock nobody holds was left by a program that did not
// close: a crash, a kill, a power cut. Copies that older versions left in other folders are
// offered as well.
class RecoveryStore
{
public:
    // A copy left by a program that did not close, locked for this program until it is taken
    // back or removed.
    struct Abandoned
    {
        QString copyPath;
        QString originalName; // the document's file; empty for a document without one
        QDateTime written;
        std::shared_ptr<QLockFile> lock;

        // The bytes of a part of the copy; empty when it has none (or it is no regular file of
        // at most maxBytes, which is never read).
        QByteArray part(const QString &name, qint64 maxBytes) const;
    };

    // Takes this program's lock in folder (made when missing). Without it nothing is written.
    explicit RecoveryStore(const QString &folder, const QStringList &olderFolders = {});
    // Releases the lock; the copy stays, as after a crash, unless it was discarded.
    ~RecoveryStore();

    // Where this program writes its copy; empty when the folder cannot be used.
    QString copyPath() const;
    // Why the folder cannot be used; empty when it can.
    QString problem() const { return m_problem; }
    // Writes a part of this program's copy; empty, or why it could not.
    QString writePart(const QString &part, const QByteArray &bytes);
    // Records the name of the document's file that the copy stands for. False when that fails.
    bool setOriginalName(const QString &originalName);
    // Makes the copy readable by its owner only, once written.
    void protectCopy() const;
    // Removes this program's copy with all its parts.
    void discard();
    // Lets go of this program's lock and leaves its copy: the next start offers it, even
    // before this program has ended.
    void handOver();

    // The copies of programs that did not close, newest first. On the way, it removes what no
    // program will take back: locks of ended programs without a copy, and copies that are no
    // regular file (a link, a FIFO), which are never opened.
    QList<Abandoned> abandoned() const;
    // Makes an abandoned copy this program's own by renaming its files, so that there is no
    // moment without a copy of the work; false when a file could not be renamed (another
    // file system), and the copy stays where it was, still locked.
    bool adopt(Abandoned &copy);
    // Removes an abandoned copy with all its parts, and its lock.
    static void remove(Abandoned &copy);
    // Gives an abandoned copy back to the folder untouched: the next start offers it again.
    static void release(Abandoned &copy);

private:
    QString file(const QString &id, const char *suffix) const;

    QString m_folder;
    QStringList m_olderFolders;
    QString m_id;
    QString m_problem;
    std::unique_ptr<QLockFile> m_lock;
};
