#include "delete_commands.h"

#include "document/dialog_edits.h"
#include "windows/dialog_tree_view.h"
#include "windows/main_window.h"
#include "windows/undo_history.h"

#include <QToolButton>

DeleteCommands::DeleteCommands(MainWindow &window) : QObject(&window), m_window(window)
{
    connect(window.deleteSelectedButton, &QToolButton::clicked, this, [this] { deleteSelected(); });
    connect(window.treeView, &DialogTreeView::deleteKeyReleased, this,
            [this] { deleteSelected(); });
}

void DeleteCommands::deleteSelected()
{
    DialogNode *node = m_window.selectedNode();
    if (!node)
        return;
    DialogEdits edits(m_window.document());
    const DialogEdits::Deletion deletion = edits.planDeletion(node);
    Prompter &prompter = m_window.prompter();
    if (!deletion.question.isEmpty() && !prompter.confirm(deletion.question))
        return;
    if (!deletion.refusal.isEmpty()) {
        prompter.message(deletion.refusal);
        return;
    }
    if (!deletion.target)
        return;
    // Actions elsewhere that name a deleted dialog would otherwise name whichever dialog takes
    // its number.
    const std::vector<DialogNode *> naming = edits.actionsNamingDialogsIn(deletion.target);
    if (!naming.empty() && !prompter.confirm(DialogEdits::namedDialogsQuestion(naming)))
        return;
    EditStep step(m_window.history(), deletion.name);
    edits.unname(naming);
    edits.remove(deletion);
    m_window.Modified = true;
}
