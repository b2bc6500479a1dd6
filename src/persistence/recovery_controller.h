#pragma once

#include "document/tree_observer.h"
#include "recovery_store.h"

#include <QObject>
#include <QTimer>

class FileCommands;
class MainWindow;

// Keeps a recovery copy of the main window's document while it has unsaved changes, and offers
// the copies of programs that did not close at start-up. The copy is written with the writer of
// Save some time after a change (and at most that often while changes go on), removed once the
// changes are saved or thrown away, and at a normal end of the program. A copy that cannot be
// written is said on the window's notice line, and by the error of a Save that fails as well.
class RecoveryController : public QObject, private TreeObserver
{
    Q_OBJECT
public:
    // Copies go into folder, and copies left in olderFolders are offered too; 30 seconds
    // between a change and its copy unless told otherwise.
    RecoveryController(MainWindow &window, FileCommands &files, const QString &folder,
                       const QStringList &olderFolders = {});
    // The normal end of the program: the copy goes, whatever the author answered.
    ~RecoveryController() override;

    void setInterval(int milliseconds) { m_timer.setInterval(milliseconds); }

    // Asks about each copy a program that did not close left behind, newest first. Yes makes it
    // the document under its file's name, with unsaved changes, and this program's own copy;
    // No deletes it. Once one is back, the others stay for the next start. True when one came
    // back.
    bool offerAbandoned();
    // The document changed: a copy follows once the interval has passed.
    void documentChanged();
    // The document's unsaved changes are gone (saved, or replaced by New or Open).
    void changesGone();
    // The session is ending: the unsaved changes are written now, and the copy stays for the
    // next start, which offers it as after a crash.
    void keepForNextStart();
    // The program is being ended from outside (a signal). The unsaved changes are written now
    // and handed to the next start; from then on nothing removes the copy, whatever a question
    // still open returns. Empty when the work is kept (or there was none); otherwise why it
    // cannot be, which the author is told, and the program should go on.
    QString keepForEnd();
    // Why the last copy could not be written; empty when it was.
    QString problem() const { return m_problem; }

    static QString restoreQuestion(const QString &originalName, const QDateTime &written);

private:
    // Writes the copy, or removes it when there are no unsaved changes; empty, or why not.
    QString writeCopy();
    void setProblem(const QString &problem);
    bool restore(RecoveryStore::Abandoned &copy);

    void nodeInserted(DialogNode *) override { documentChanged(); }
    void nodeRemoved() override { documentChanged(); }
    void nodeMoved(DialogNode *) override { documentChanged(); }
    void nodeChanged(DialogNode *) override { documentChanged(); }
    void nodesChanged(const std::vector<DialogNode *> &) override { documentChanged(); }
    void reset() override { documentChanged(); }

    MainWindow &m_window;
    FileCommands &m_files;
    RecoveryStore m_store;
    QTimer m_timer;
    QString m_problem;
    bool m_keep = false;
    // Set once the work is handed to the next start for an end from outside.
    bool m_ending = false;
};
