#pragma once

#include <QDateTime>
#include <QList>
#include <QLockFile>
#include <QString>
#include <memory>

// The recovery copies of the running programs, in one folder: each program keeps at most one
// copy of its unsaved document there ("<id>.dlg", the name of the document's file beside it in
// "<id>.name"), under a lock ("<id>.lock") that it holds while it runs. A copy whose lock nobody
// holds was left by a program that did not close: a crash, a kill, a power cut.
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
    };

    // Takes this program's lock in folder (made when missing). Without it nothing is written.
    explicit RecoveryStore(const QString &folder);
    // Releases the lock; the copy stays, as after a crash, unless it was discarded.
    ~RecoveryStore();

    // Where this program writes its copy; empty when the folder cannot be used.
    QString copyPath() const;
    // Records the name of the document's file that the copy stands for. False when that fails.
    bool setOriginalName(const QString &originalName);
    // Makes the copy readable by its owner only, once written.
    void protectCopy() const;
    // Removes this program's copy.
    void discard();

    // The copies of programs that did not close, newest first. On the way, it removes what no
    // program will take back: locks of ended programs without a copy, and copies that are no
    // regular file (a link, a FIFO), which are never opened.
    QList<Abandoned> abandoned() const;
    // Removes an abandoned copy and its lock.
    static void remove(Abandoned &copy);
    // Gives an abandoned copy back to the folder untouched: the next start offers it again.
    static void release(Abandoned &copy);

private:
    QString file(const QString &id, const char *suffix) const;

    QString m_folder;
    QString m_id;
    std::unique_ptr<QLockFile> m_lock;
};
