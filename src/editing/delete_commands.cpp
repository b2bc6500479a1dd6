#include "delete_commands.h"

#include "app/dialog_tree_view.h"
#include "app/tform1.h"
#include "app/undo_history.h"
#include "document/node_text.h"
#include "platform/ansi.h"

#include <QToolButton>

namespace {

const QString kRootNotDeleted = QStringLiteral("Root can not be deleted!");

} // namespace

DeleteCommands::DeleteCommands(TForm1 &form) : QObject(&form), m_form(form)
{
    connect(form.SpeedButton14, &QToolButton::clicked, this, [this] { SpeedButton14Click(); });
    connect(form.TreeView1, &DialogTreeView::deleteKeyReleased, this,
            [this] { SpeedButton14Click(); });
    connect(form.TreeView1, &DialogTreeView::nodeDropped, this,
            [this](DialogNode *target) { TreeView1DragDrop(target); });
}

DialogNode *DeleteCommands::getparentnode(DialogNode *node)
{
    DialogNode *current = node->parent();
    while (!NodeText::isDialog(current->text()) && current->parent())
        current = current->parent();
    return current;
}

void DeleteCommands::removeDialog(DialogNode *dialog)
{
    DialogTree &tree = m_form.document();
    EditStep step(m_form.history(), QStringLiteral("Delete ") + Ansi::toUnicode(dialog->text()));
    tree.remove(dialog);
    tree.refreshlist();
    m_form.Modified = true;
}

void DeleteCommands::SpeedButton14Click()
{
    DialogNode *node = m_form.selectedNode();
    if (!node)
        return;
    const QByteArray &text = node->text();
    Prompter &prompter = m_form.prompter();

    if (NodeText::isRoot(text)) {
        prompter.message(kRootNotDeleted);
        return;
    }
    if (NodeText::isDialogForNumbering(text)) {
        if (prompter.confirm(QStringLiteral("Do you really want to delete this dialog?")))
            removeDialog(node);
        return;
    }
    if (NodeText::isAction(text)) {
        EditStep step(m_form.history(), QStringLiteral("Delete ") + Ansi::toUnicode(text));
        m_form.document().remove(node);
        m_form.Modified = true;
        return;
    }
    if (!node->parent())
        return;

    DialogNode *enclosing = getparentnode(node);
    if (NodeText::isChoice(text)) {
        if (!prompter.confirm(QStringLiteral("You will delete an entire choice\n\rContinue?")))
            return;
        // A choice node with no dialog above it but the root must not take the root with it.
        if (NodeText::isRoot(enclosing->text()))
            prompter.message(kRootNotDeleted);
        else
            removeDialog(enclosing);
        return;
    }
    if (!prompter.confirm(QStringLiteral("The dialog you need to delete is ") +
                          Ansi::toUnicode(enclosing->text()) +
                          QStringLiteral("\r\nDo you want to delete it?")))
        return;
    if (NodeText::isRoot(enclosing->text())) {
        prompter.message(kRootNotDeleted);
        return;
    }
    removeDialog(enclosing);
}

void DeleteCommands::TreeView1DragDrop(DialogNode *target)
{
    DialogNode *dragged = m_form.selectedNode();
    if (!target || !dragged || !NodeText::isDialog(dragged->text()) ||
        !NodeText::isDialog(target->text()))
        return;
    // A drop into the dragged dialog's own subtree moves nothing; the rest still runs.
    DialogTree &tree = m_form.document();
    EditStep step(m_form.history(), QStringLiteral("Move ") + Ansi::toUnicode(dragged->text()));
    tree.moveBefore(dragged, target);
    tree.refreshlist();
    m_form.Modified = true;
    m_form.expandNode(tree.firstNode(), true);
    if (DialogNode *parent = dragged->parent())
        m_form.expandNode(parent, false);
}
