#pragma once

#include <QObject>

class DialogNode;
class FlowMapWindow;
class MainWindow;
class QAction;
class QString;

// Writing in the flow map: the changes its window asks for, each one step of the undo history
// made by the same document operations as the tree's commands, with their refusals, and shown
// at once in the tree. Deleting is the tree's own command (deleteAction), with its questions.
class FlowMapCommands : public QObject
{
    Q_OBJECT
public:
    FlowMapCommands(MainWindow &window, FlowMapWindow &map, QAction *deleteAction);

    // text: the author's lines, as the editor gives them.
    void changeText(const DialogNode *holder, const QString &text);
    // A text dialog of the other speaker (or a choice of one answer) right after dialog, its
    // text opened for writing.
    void addAfter(const DialogNode *dialog, bool choice);
    void addAnswer(const DialogNode *choiceDialog);
    void setSpeaker(const DialogNode *dialog, bool player);
    // Points dialog's goto at target; no target removes it.
    void setGoto(const DialogNode *dialog, const DialogNode *target);
    void deleteDialog(const DialogNode *dialog);

private:
    // The tree hands out its nodes for changing; the map keeps them read-only.
    DialogNode *editable(const DialogNode *node) const;
    // Selects made in the tree and opens its text (answer: of a choice) in the map.
    void openForWriting(DialogNode *made, int answer = -1);

    MainWindow &m_window;
    FlowMapWindow &m_map;
    QAction *m_deleteAction;
};
