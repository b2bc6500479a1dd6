#include "drop_command.h"

#include "document/dialog_edits.h"
#include "platform/ansi.h"
#include "windows/dialog_tree_view.h"
#include "windows/main_window.h"
#include "windows/undo_history.h"

DropCommand::DropCommand(MainWindow &window) : QObject(&window), m_window(window)
{
    connect(window.treeView, &DialogTreeView::nodeDropped, this,
            [this](DialogNode *target) { dropDialog(target); });
}

void DropCommand::dropDialog(DialogNode *target)
{
    DialogNode *dragged = m_window.selectedNode();
    if (!dragged)
        return;
    // A drop into the dragged dialog's own subtree moves nothing; the rest still runs.
    DialogTree &tree = m_window.document();
    DialogEdits::Outcome moved;
    {
        EditStep step(m_window.history(),
                      QStringLiteral("Move ") + Ansi::toUnicode(dragged->text()));
        moved = DialogEdits(tree).moveDialog(dragged, target);
    }
    // A refusal is shown with no step open: it changed nothing.
    if (!moved.refusal.isEmpty())
        m_window.prompter().message(moved.refusal);
    if (moved.node)
        m_window.Modified = true;
}
