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
// changes are saved or thrown away, and at a normal end of the program.
class RecoveryController : public QObject, private TreeObserver
{
    Q_OBJECT
public:
    // Copies go into folder; 30 seconds between a change and its copy unless told otherwise.
    RecoveryController(MainWindow &window, FileCommands &files, const QString &folder);
    // The normal end of the program: the copy goes, whatever the author answered.
    ~RecoveryController() override;

    void setInterval(int milliseconds) { m_timer.setInterval(milliseconds); }

    // Asks about each copy a program that did not close left behind, newest first. Yes makes it
    // the document under its file's name, with unsaved changes; No deletes it. Once one is back,
    // the others stay for the next start.
    void offerAbandoned();
    // The document changed: a copy follows once the interval has passed.
    void documentChanged();
    // The document's unsaved changes are gone (saved, or replaced by New or Open).
    void changesGone();
    // The program is being ended from outside: the unsaved changes are written now, and the
    // copy stays for the next start, which offers it as after a crash.
    void keepForNextStart();

    static QString restoreQuestion(const QString &originalName, const QDateTime &written);

private:
    void writeCopy();
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
    bool m_keep = false;
};
