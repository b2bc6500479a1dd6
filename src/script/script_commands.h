#pragma once

#include <QObject>

class DialogNode;
class MainWindow;
class QAction;
class ScriptPane;

// Tools > "Script" (F8): shows the script view beside the tree with the cursor on the selected
// node's line, or gives the focus back to the tree. Applying the view (Ctrl+Return) is one undo
// step, "Script edit"; a script with errors is marked and not applied. The cursor's dialog is
// selected in the tree, and a node selected there puts the cursor on its line. New, Open and
// closing ask before lines that are not applied are dropped.
class ScriptCommands : public QObject
{
    Q_OBJECT
public:
    explicit ScriptCommands(MainWindow &window);

    ScriptPane *pane() const { return m_pane; }
    QAction *scriptAction;

    void apply();
    static QString discardQuestion();
    // Lines typed and not applied, brought back from a recovery copy: the view shows them.
    void restoreUnapplied(const QString &text);

private:
    void showOrLeave();
    void showPane();
    void selectDialogOf(DialogNode *node);

    MainWindow &m_window;
    ScriptPane *m_pane;
    bool m_selecting = false;
    bool m_placed = false;
};
