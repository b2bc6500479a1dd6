#include "update_commands.h"

#include "app/dialog_tree_view.h"
#include "app/tform1.h"
#include "app/undo_history.h"
#include "document/node_text.h"
#include "platform/ansi.h"

#include <QAbstractItemDelegate>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QToolButton>

UpdateCommands::UpdateCommands(TForm1 &form) : QObject(&form), m_form(form)
{
    connect(form.TreeView1, &DialogTreeView::clickedAnywhere, this, [this] { TreeView1Click(); });
    connect(form.SpeedButton13, &QToolButton::clicked, this, [this] { SpeedButton13Click(); });
    connect(form.Edit1, &QLineEdit::returnPressed, this, [this] { SpeedButton13Click(); });
    // The field shows the selected node however it came to be selected (keys, a search hit, a
    // delete, an undo), not only after a click: Update must never write into another node.
    connect(form.TreeView1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { TreeView1Click(); });
    connect(&form.history(), &UndoHistory::applied, this, [this] { TreeView1Click(); });
    // The view writes a confirmed label into the tree before this runs; Escape commits nothing.
    connect(form.TreeView1->itemDelegate(), &QAbstractItemDelegate::commitData, this,
            [this] { m_form.Modified = true; });
}

void UpdateCommands::TreeView1Click()
{
    const DialogNode *node = m_form.selectedNode();
    if (!node)
        return;
    const QByteArray &text = node->text();
    const bool locked =
        NodeText::isRoot(text) || NodeText::isDialog(text) || NodeText::isChoice(text);
    m_form.Edit1->setEnabled(!locked);
    m_form.SpeedButton13->setEnabled(!locked);
    if (!locked)
        m_form.Edit1->setText(Ansi::toUnicode(text));
}

void UpdateCommands::SpeedButton13Click()
{
    DialogNode *node = m_form.selectedNode();
    if (!node) {
        m_form.prompter().message(QStringLiteral("Select an element you want to update!"));
        return;
    }
    // The first child of every node is fixed: the root, the configuration node, type nodes,
    // first choices and the answers of choices.
    if (node->row() == 0 || NodeText::isDialog(node->text())) {
        m_form.prompter().message(QStringLiteral("Changing root or dialog items is not allowed"));
        return;
    }
    if (m_form.Edit1->text().isEmpty()) {
        m_form.prompter().message(QStringLiteral("Field is empty!"));
        return;
    }
    if (NodeText::isRoot(node->text())) {
        m_form.prompter().message(QStringLiteral("Root element cannot be changed!"));
        return;
    }
    EditStep step(m_form.history(), QStringLiteral("Update ") + Ansi::toUnicode(node->text()));
    m_form.document().setText(node, Ansi::fromUnicode(m_form.Edit1->text()));
    m_form.Modified = true;
}
