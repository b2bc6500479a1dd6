#pragma once

#include <QObject>
#include <QStringList>
#include <functional>
#include <optional>

class MainWindow;
class RecentMenu;

// The File menu's commands over the main window's document: New, Open, Save, Save As, the file
// named on the command line, the question of the save-changes button, the window titles and
// Modified, and the Open Recent entries (RecentMenu). Handlers run through MainWindow::guarded,
// so a file error reaches the error box and the command stops where it failed.
class FileCommands : public QObject
{
    Q_OBJECT
public:
    explicit FileCommands(MainWindow &window);
    ~FileCommands() override;

    static QString titleFor(const QString &path);
    static QString saveQuestion();
    static QString continueQuestion();
    // Asked before a save replaces a file that exists.
    static QString replaceQuestion(const QString &path);

    // Writes the document with the tree control's size as it is now.
    void save(const QString &fileName);
    // Reads a file into the document; the document stays as it was when the read fails. Unless
    // actions are enabled, the load clean-up follows, and the author is told what it removed.
    void load(const QString &fileName);
    static QString removedActionsText(int count);

    void newDocument();
    // Open: the file chosen in the document open dialog.
    void openChosenFile();
    void saveDocument();
    void saveDocumentAs();
    // The save-changes button: unsaved changes are saved when the author says so.
    void offerToSave();

    // Start-up, step 5: the recent list into the Open Recent entries. Errors are shown and
    // start-up goes on.
    void readRecentFiles();
    // Start-up, step 7: opens the first argument when it names an existing file. Errors are
    // shown and start-up goes on. After a restore (restored: the document holds the unsaved
    // changes brought back at start) the file that the changes belong to is not opened again,
    // and another file only when the author says so to a question that names both.
    void openCommandLineFile(const QStringList &arguments, bool restored);
    static QString keepRestoredQuestion(const QString &restoredName, const QString &path);

    // What a failed Save adds to its error (the recovery copy failing too); none: nothing.
    void setSaveFailureNote(std::function<QString()> note) { m_saveFailureNote = std::move(note); }

    RecentMenu &recentMenu() { return *m_recent; }

    // How the ways of opening a document differ.
    struct OpenOptions
    {
        // The file goes to the top of the recent list (not for an entry of that list).
        bool remember = true;
        // The author has already agreed to lose the unsaved changes.
        bool changesGiven = false;
    };
    // Opens a file as the document after the question about unsaved changes; the document stays
    // as it was when the author declines or the read fails (AppError).
    void openDocument(const QString &path, const OpenOptions &options);

signals:
    // Another document was opened or brought back: lists drawn from the old one are stale.
    void documentOpened();
    // The document's unsaved changes are gone: saved, or replaced by New or an opened file.
    void changesGone();

private:
    // The document save dialog until the author names a file that does not exist yet or agrees to
    // replace it; nothing on cancel. dlgExtension: Save As's ".dlg" is added before the check.
    std::optional<QString> chooseSaveName(bool dlgExtension);
    // A document without a file takes the name chosen in the save dialog (title and file name);
    // false when the author cancels.
    bool nameDocument();
    // Saves the document to its file, as Save does; a failure names what else is lost.
    void saveToFile(const QString &fileName);

    MainWindow &m_window;
    RecentMenu *m_recent;
    std::function<QString()> m_saveFailureNote;
};
