#include "undo_history.h"

#include "document/dialog_tree.h"
#include "document/tree_journal.h"

#include <QUndoCommand>
#include <QUndoStack>

class UndoHistory::Step : public QUndoCommand
{
public:
    Step(UndoHistory &history, const QString &name, std::unique_ptr<TreeJournal> journal,
         DialogNode *before, DialogNode *after)
        : QUndoCommand(name), m_history(history), m_journal(std::move(journal)), m_before(before),
          m_after(after)
    {
    }

    void undo() override { m_history.apply(*m_journal, false, m_before); }
    void redo() override
    {
        // The command itself did the step when it was pushed.
        if (m_done)
            m_history.apply(*m_journal, true, m_after);
        m_done = true;
    }

private:
    UndoHistory &m_history;
    std::unique_ptr<TreeJournal> m_journal;
    DialogNode *m_before;
    DialogNode *m_after;
    bool m_done = false;
};

UndoHistory::UndoHistory(DialogTree &tree, std::function<DialogNode *()> selected,
                         std::function<void(DialogNode *)> select, QObject *parent)
    : QObject(parent), m_tree(tree), m_selected(std::move(selected)), m_select(std::move(select)),
      m_stack(new QUndoStack(this))
{
    m_tree.addObserver(this);
}

UndoHistory::~UndoHistory()
{
    m_tree.removeObserver(this);
    if (m_open)
        m_tree.setJournal(nullptr);
}

void UndoHistory::begin(const QString &name)
{
    if (m_depth++ > 0)
        return;
    m_open = std::make_unique<TreeJournal>(m_tree);
    m_openName = name;
    m_openSelection = m_selected();
    m_tree.setJournal(m_open.get());
}

void UndoHistory::rename(const QString &name)
{
    if (m_depth == 1)
        m_openName = name;
}

void UndoHistory::end()
{
    if (m_depth == 0 || --m_depth > 0)
        return;
    // The rewrite of references belongs to the step: while it runs, a change is no change made
    // outside a step, which would throw the history away.
    ++m_depth;
    m_open->followRenumbering();
    m_depth = 0;
    m_tree.setJournal(nullptr);
    std::unique_ptr<TreeJournal> journal = std::move(m_open);
    if (journal->isEmpty())
        return;
    m_stack->push(new Step(*this, m_openName, std::move(journal), m_openSelection, m_selected()));
}

void UndoHistory::apply(TreeJournal &journal, bool forward, DialogNode *selection)
{
    m_applying = true;
    if (forward)
        journal.redo();
    else
        journal.undo();
    m_applying = false;
    if (selection && m_tree.contains(selection))
        m_select(selection);
    emit applied();
}

void UndoHistory::unrecorded()
{
    if (m_depth == 0 && !m_applying)
        m_stack->clear();
}

void UndoHistory::reset()
{
    if (m_depth == 0)
        m_stack->clear();
}
