#pragma once

#include <QObject>

class DialogNode;
class MainWindow;
class QAction;

// Cut, Copy, Paste and Duplicate of dialogs (with their branches) and actions, and moving a
// dialog among its neighbours by keys, from the Edit menu and the tree's context menu. The
// clipboard holds the nodes as a stored listing, in plain text for text editors and under a
// private type for exact round trips; a listing written by hand pastes back as nodes. Each
// command is one undo step.
class ClipboardCommands : public QObject
{
    Q_OBJECT
public:
    explicit ClipboardCommands(MainWindow &window);

    static const char *const kMimeType;

    QAction *cutAction;
    QAction *copyAction;
    QAction *pasteAction;
    QAction *duplicateAction;
    QAction *moveUpAction;
    QAction *moveDownAction;
    QAction *renameAction;
    QAction *deleteAction;

    void cut();
    void copy();
    void paste();
    void duplicate();
    void moveUp();
    void moveDown();

private:
    // Puts node's listing on the clipboard; false (after telling why) when it cannot be copied.
    bool copyNode(const DialogNode *node);
    void move(bool up);
    void finish(DialogNode *made, const QString &refusal);

    MainWindow &m_window;
};
