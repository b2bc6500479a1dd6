#include "delete_commands.h"

#include "document/dialog_edits.h"
#include "platform/ansi.h"
#include "windows/dialog_tree_view.h"
#include "windows/main_window.h"
#include "windows/undo_history.h"

#include <QToolButton>

DeleteCommands::DeleteCommands(TForm1 &form) : QObject(&form), m_form(form)
{
    connect(form.SpeedButton14, &QToolButton::clicked, this, [this] { SpeedButton14Click(); });
    connect(form.TreeView1, &DialogTreeView::deleteKeyReleased, this,
            [this] { SpeedButton14Click(); });
    connect(form.TreeView1, &DialogTreeView::nodeDropped, this,
            [this](DialogNode *target) { TreeView1DragDrop(target); });
}

void DeleteCommands::SpeedButton14Click()
{
    DialogNode *node = m_form.selectedNode();
    if (!node)
        return;
    DialogEdits edits(m_form.document());
    const DialogEdits::Deletion deletion = edits.planDeletion(node);
    Prompter &prompter = m_form.prompter();
    if (!deletion.question.isEmpty() && !prompter.confirm(deletion.question))
        return;
    if (!deletion.refusal.isEmpty()) {
        prompter.message(deletion.refusal);
        return;
    }
    if (!deletion.target)
        return;
    EditStep step(m_form.history(), deletion.name);
    edits.remove(deletion);
    m_form.Modified = true;
}

void DeleteCommands::TreeView1DragDrop(DialogNode *target)
{
    DialogNode *dragged = m_form.selectedNode();
    if (!dragged)
        return;
    // A drop into the dragged dialog's own subtree moves nothing; the rest still runs.
    DialogTree &tree = m_form.document();
    EditStep step(m_form.history(), QStringLiteral("Move ") + Ansi::toUnicode(dragged->text()));
    if (!DialogEdits(tree).moveDialog(dragged, target))
        return;
    m_form.Modified = true;
}
