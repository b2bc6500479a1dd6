#pragma once

#include "document/tree_observer.h"
#include "recovery_store.h"

#include <QObject>
#include <QTimer>
#include <functional>
#include <vector>

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

    // Unsaved state a feature keeps beside the document (lines typed and not applied), kept as a
    // part of the copy: bytes tells it (empty: none, which alone needs no copy), restore takes
    // it back when the copy is restored. A change of it should call documentChanged.
    struct Part
    {
        QString name;
        std::function<QByteArray()> bytes;
        std::function<void(const QByteArray &)> restore;
    };
    void addPart(Part part);

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
    // The document has unsaved changes, or a part has unsaved state.
    bool hasUnsavedWork() const;
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
    std::vector<Part> m_parts;
    bool m_keep = false;
};
