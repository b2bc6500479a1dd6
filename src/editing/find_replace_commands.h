#pragma once

#include <QObject>

class FindReplaceWindow;
class MainWindow;
class QAction;
class TextReplacement;

// Edit > "Find and Replace..." (Ctrl+H): finds and replaces in what the author wrote, the
// texts of text dialogs and the answers of choices (see TextReplacement). Find next selects the
// next match in the tree after the selected node, wrapping around; Replace changes the selected
// node when it matches and goes on to the next; Replace all changes every match. Each
// replacement is one step of the undo history.
class FindReplaceCommands : public QObject
{
    Q_OBJECT
public:
    explicit FindReplaceCommands(MainWindow &window);

    QAction *findReplaceAction;

    // The window, made on first use and kept while the program runs.
    FindReplaceWindow *findReplaceWindow();
    // Shows the window in front with the focus in the find field.
    void showWindow();

    void findNext();
    void replace();
    void replaceAll();

private:
    // What the window's fields and options ask for.
    TextReplacement replacement() const;
    // Selects the next match after the selected node and says where it is; empty when there is
    // none.
    QString selectNextMatch(const TextReplacement &replacement);
    // The field under the tree shows the selected node's text; a replacement there must not
    // leave the old text behind for Update to write back.
    void refreshSelectedText();

    MainWindow &m_window;
    FindReplaceWindow *m_dialog = nullptr;
};
