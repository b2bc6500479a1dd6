#pragma once

#include <QObject>

class DialogNode;
class MainWindow;

// Moving a dialog by dragging it onto another dialog of the main window's tree: the dragged
// dialog goes before the one it was dropped on, and the dialogs are renumbered by position.
class DropCommand : public QObject
{
    Q_OBJECT
public:
    explicit DropCommand(MainWindow &window);

    // A drag from the tree dropped on target (none over empty space).
    void dropDialog(DialogNode *target);

private:
    MainWindow &m_window;
};
