#pragma once

#include "document/tree_observer.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class DialogNode;
class DialogTree;
class QUndoStack;
class TreeJournal;

// The undo history of the open document. A command opens a step before it changes the tree
// and closes it when done; what the tree recorded in between becomes one undo step under the
// command's name. Steps opened inside an open step join it. A new or opened document (the tree
// reset) starts a new history, and so does a change made outside any step, which no step could
// take back exactly.
class UndoHistory : public QObject, private TreeObserver
{
    Q_OBJECT
public:
    // selected tells the selected node, select selects one: undo and redo bring back the
    // selection the step started or ended with.
    UndoHistory(DialogTree &tree, std::function<DialogNode *()> selected,
                std::function<void(DialogNode *)> select, QObject *parent = nullptr);
    ~UndoHistory() override;

    QUndoStack *stack() const { return m_stack; }
    void begin(const QString &name);
    void end();
    // Names the open step after what it turned out to do; a joined step keeps the outer name.
    void rename(const QString &name);

signals:
    // After an undo or a redo changed the document.
    void applied();

private:
    class Step;
    void apply(TreeJournal &journal, bool forward, DialogNode *selection);
    void unrecorded();

    void nodeInserted(DialogNode *) override { unrecorded(); }
    void nodeRemoved() override { unrecorded(); }
    void nodeMoved(DialogNode *) override { unrecorded(); }
    void nodeChanged(DialogNode *) override { unrecorded(); }
    void nodesChanged(const std::vector<DialogNode *> &) override { unrecorded(); }
    void reset() override;

    DialogTree &m_tree;
    std::function<DialogNode *()> m_selected;
    std::function<void(DialogNode *)> m_select;
    QUndoStack *m_stack;
    std::unique_ptr<TreeJournal> m_open;
    QString m_openName;
    DialogNode *m_openSelection = nullptr;
    int m_depth = 0;
    bool m_applying = false;
};

// Holds a step of the history open for the lifetime of the object.
class EditStep
{
public:
    EditStep(UndoHistory &history, const QString &name) : m_history(history)
    {
        m_history.begin(name);
    }
    ~EditStep() { m_history.end(); }
    EditStep(const EditStep &) = delete;
    EditStep &operator=(const EditStep &) = delete;

private:
    UndoHistory &m_history;
};
