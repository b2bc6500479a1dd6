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

UpdateCommands::UpdateCommands(MainWindow &window) : QObject(&window), m_window(window)
{
    connect(window.treeView, &DialogTreeView::clickedAnywhere, this,
            [this] { showSelectedNode(); });
    connect(window.updateSelectedButton, &QToolButton::clicked, this,
            [this] { updateSelectedNode(); });
    connect(window.nodeTextField, &QLineEdit::returnPressed, this,
            [this] { updateSelectedNode(); });
    // The field shows the selected node however it came to be selected (keys, a search hit, a
    // delete, an undo), not only after a click: Update must never write into another node.
    connect(window.treeView->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { showSelectedNode(); });
    connect(&window.history(), &UndoHistory::applied, this, [this] { showSelectedNode(); });
    // New and Open leave no node selected without a selection change; a change of the selected
    // node's own text (a replacement, say) shows at once.
    QAbstractItemModel *model = window.treeView->model();
    connect(model, &QAbstractItemModel::modelReset, this, [this] { showSelectedNode(); });
    connect(model, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex &first, const QModelIndex &last) {
                const int row = m_window.treeView->currentIndex().row();
                if (row >= first.row() && row <= last.row())
                    showSelectedNode();
            });
    // The view writes a confirmed label into the tree before this runs; Escape commits nothing.
    connect(window.treeView->itemDelegate(), &QAbstractItemDelegate::commitData, this,
            [this] { m_window.Modified = true; });
}

void UpdateCommands::showSelectedNode()
{
    const DialogNode *node = m_window.selectedNode();
    if (!node) {
        // Nothing selected: nothing to show, nothing Update could write into.
        m_window.nodeTextField->clear();
        m_window.updateSelectedButton->setEnabled(false);
        return;
    }
    const QByteArray &text = node->text();
    const bool locked =
        NodeText::isRoot(text) || NodeText::isDialog(text) || NodeText::isChoice(text);
    m_window.nodeTextField->setEnabled(!locked);
    m_window.updateSelectedButton->setEnabled(!locked);
    if (!locked)
        m_window.nodeTextField->setText(Ansi::toUnicode(text));
}

void UpdateCommands::updateSelectedNode()
{
    DialogNode *node = m_window.selectedNode();
    if (m_window.prompter().refuseUnrepresentable(m_window.nodeTextField->text()))
        return;
    // The step is named by what it makes.
    const QString name =
        node ? QStringLiteral("Update ") + m_window.nodeTextField->text() : QString();
    QString refusal;
    {
        EditStep step(m_window.history(), name);
        refusal = DialogEdits(m_window.document())
                      .updateText(node, Ansi::fromUnicode(m_window.nodeTextField->text()));
    }
    if (!refusal.isEmpty()) {
        m_window.prompter().message(refusal);
        return;
    }
    m_window.Modified = true;
}
