#include "update_commands.h"

#include "document/dialog_edits.h"
#include "document/node_text.h"
#include "platform/ansi.h"
#include "windows/dialog_tree_view.h"
#include "windows/main_window.h"
#include "windows/undo_history.h"

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
    const QString name =
        node ? QStringLiteral("Update ") + Ansi::toUnicode(node->text()) : QString();
    QString refusal;
    {
        EditStep step(m_form.history(), name);
        refusal = DialogEdits(m_form.document())
                      .updateText(node, Ansi::fromUnicode(m_form.Edit1->text()));
    }
    if (!refusal.isEmpty()) {
        m_form.prompter().message(refusal);
        return;
    }
    m_form.Modified = true;
}
