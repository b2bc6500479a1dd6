#include "clipboard_commands.h"

#include "document/dialog_edits.h"
#include "document/dialog_tree.h"
#include "document/node_text.h"
#include "persistence/branch_copy.h"
#include "persistence/dlg_listing.h"
#include "platform/ansi.h"
#include "platform/app_error.h"
#include "platform/named.h"
#include "platform/object_names.h"
#include "windows/dialog_tree_view.h"
#include "windows/main_window.h"
#include "windows/undo_history.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QToolButton>

namespace names = ObjectNames::Main;

const char *const ClipboardCommands::kMimeType = "application/x-talmero-nodes";

ClipboardCommands::ClipboardCommands(MainWindow &window) : QObject(&window), m_window(window)
{
    auto make = [&window](const QString &text, const QKeySequence &key, const char *name) {
        auto *action = named(new QAction(text, &window), name);
        action->setShortcut(key);
        return action;
    };
    cutAction = make(QStringLiteral("Cu&t"), QKeySequence::Cut, names::cutAction);
    copyAction = make(QStringLiteral("&Copy"), QKeySequence::Copy, names::copyAction);
    pasteAction = make(QStringLiteral("&Paste"), QKeySequence::Paste, names::pasteAction);
    duplicateAction = make(QStringLiteral("&Duplicate"), QKeySequence(Qt::CTRL | Qt::Key_D),
                           names::duplicateAction);
    moveUpAction =
        make(QStringLiteral("Move &up"), QKeySequence(Qt::ALT | Qt::Key_Up), names::moveUpAction);
    moveDownAction = make(QStringLiteral("Move do&wn"), QKeySequence(Qt::ALT | Qt::Key_Down),
                          names::moveDownAction);
    // Rename and Delete act in the tree only: the tree's own F2 and Delete key do the same.
    renameAction = make(QStringLiteral("&Rename"), QKeySequence(Qt::Key_F2), names::renameAction);
    renameAction->setShortcutContext(Qt::WidgetShortcut);
    window.treeView->addAction(renameAction);
    deleteAction =
        named(new QAction(QStringLiteral("De&lete\tDel"), &window), names::deleteNodeAction);

    const QList<QAction *> editing = {cutAction, copyAction, pasteAction, duplicateAction};
    const QList<QAction *> moving = {moveUpAction, moveDownAction};
    // Into the Edit menu after Undo and Redo, and the tree's menu before them.
    for (QObject *object : window.undoAction->associatedObjects()) {
        if (auto *menu = qobject_cast<QMenu *>(object); menu && menu != window.treeMenu) {
            menu->addSeparator();
            menu->addActions(editing);
            menu->addSeparator();
            menu->addActions(moving);
            menu->addSeparator();
            menu->addActions({renameAction, deleteAction});
        }
    }
    QMenu *tree = window.treeMenu;
    tree->insertActions(window.undoAction, editing);
    tree->insertSeparator(window.undoAction);
    tree->insertActions(window.undoAction, moving);
    tree->insertSeparator(window.undoAction);
    tree->insertActions(window.undoAction, {renameAction, deleteAction});
    tree->insertSeparator(window.undoAction);

    connect(cutAction, &QAction::triggered, this, &ClipboardCommands::cut);
    connect(copyAction, &QAction::triggered, this, &ClipboardCommands::copy);
    connect(pasteAction, &QAction::triggered, this, &ClipboardCommands::paste);
    connect(duplicateAction, &QAction::triggered, this, &ClipboardCommands::duplicate);
    connect(moveUpAction, &QAction::triggered, this, &ClipboardCommands::moveUp);
    connect(moveDownAction, &QAction::triggered, this, &ClipboardCommands::moveDown);
    connect(renameAction, &QAction::triggered, this, [this] {
        m_window.treeView->setFocus();
        m_window.treeView->edit(m_window.treeView->currentIndex());
    });
    connect(deleteAction, &QAction::triggered, window.deleteSelectedButton, &QToolButton::click);
}

bool ClipboardCommands::copyNode(const DialogNode *node)
{
    const QString refusal = BranchCopy::refusal(node);
    if (!refusal.isEmpty()) {
        m_window.prompter().message(refusal);
        return false;
    }
    const QByteArray listing = DlgListing::write(BranchCopy::records(m_window.document(), node));
    auto *data = new QMimeData;
    data->setText(QString::fromUtf8(listing));
    data->setData(QLatin1String(kMimeType), listing);
    QGuiApplication::clipboard()->setMimeData(data);
    return true;
}

void ClipboardCommands::copy()
{
    copyNode(m_window.selectedNode());
}

void ClipboardCommands::cut()
{
    DialogNode *node = m_window.selectedNode();
    if (!copyNode(node))
        return;
    DialogEdits edits(m_window.document());
    const std::vector<DialogNode *> naming = edits.actionsNamingDialogsIn(node);
    if (!naming.empty() && !m_window.prompter().confirm(DialogEdits::namedDialogsQuestion(naming)))
        return;
    {
        EditStep step(m_window.history(), QStringLiteral("Cut ") + Ansi::toUnicode(node->text()));
        DialogEdits::Deletion deletion;
        deletion.target = node;
        edits.unname(naming);
        edits.remove(deletion);
    }
    m_window.Modified = true;
}

void ClipboardCommands::paste()
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    const QByteArray listing = !data ? QByteArray()
                               : data->hasFormat(QLatin1String(kMimeType))
                                   ? data->data(QLatin1String(kMimeType))
                                   : data->text().toUtf8();
    // Each line is read on its own: a refusal names its line, and a line too long for any node
    // is refused without reading the rest of it.
    DlgRecordList records;
    try {
        records = DlgListing::parse(listing, QStringLiteral("Clipboard"));
    } catch (const AppError &error) {
        m_window.prompter().message(error.text());
        return;
    }
    DialogEdits::Outcome outcome;
    {
        EditStep step(m_window.history(), QStringLiteral("Paste"));
        outcome = BranchCopy::paste(m_window.document(), m_window.selectedNode(), records);
        if (outcome.node)
            m_window.history().rename(QStringLiteral("Paste ") +
                                      Ansi::toUnicode(outcome.node->text()));
    }
    finish(outcome.node, outcome.refusal);
}

void ClipboardCommands::duplicate()
{
    DialogNode *node = m_window.selectedNode();
    const QString refusal = BranchCopy::refusal(node);
    if (!refusal.isEmpty()) {
        m_window.prompter().message(refusal);
        return;
    }
    DialogEdits::Outcome outcome;
    {
        EditStep step(m_window.history(),
                      QStringLiteral("Duplicate ") + Ansi::toUnicode(node->text()));
        outcome = BranchCopy::paste(m_window.document(), node,
                                    BranchCopy::records(m_window.document(), node));
    }
    finish(outcome.node, outcome.refusal);
}

void ClipboardCommands::finish(DialogNode *made, const QString &refusal)
{
    // A refusal is shown with no step open: it changed nothing.
    if (!refusal.isEmpty())
        m_window.prompter().message(refusal);
    if (!made)
        return;
    m_window.Modified = true;
    m_window.selectNode(made);
}

void ClipboardCommands::moveUp()
{
    move(true);
}

void ClipboardCommands::moveDown()
{
    move(false);
}

void ClipboardCommands::move(bool up)
{
    DialogNode *dialog = m_window.selectedNode();
    if (!dialog || !NodeText::isDialog(dialog->text()))
        return;
    bool moved = false;
    {
        EditStep step(m_window.history(),
                      QStringLiteral("Move ") + Ansi::toUnicode(dialog->text()) +
                          (up ? QStringLiteral(" up") : QStringLiteral(" down")));
        moved = DialogEdits(m_window.document()).moveAmongDialogs(dialog, up);
    }
    if (!moved)
        return;
    m_window.Modified = true;
    m_window.selectNode(dialog);
}
