#include "script_commands.h"

#include "document/dialog_edits.h"
#include "document/node_text.h"
#include "script_apply.h"
#include "script_editor.h"
#include "script_pane.h"
#include "script_parser.h"
#include "windows/dialog_tree_view.h"
#include "windows/main_window.h"
#include "windows/undo_history.h"

#include <QAction>
#include <QMenu>
#include <QScreen>
#include <QStyle>
#include <QUndoStack>

namespace {

// The width the view takes beside the tree when it first opens, and the tree's own.
constexpr int kPaneWidth = 380;
constexpr int kDesignedTreeWidth = 473;

} // namespace

ScriptCommands::ScriptCommands(MainWindow &window)
    : QObject(&window), m_window(window),
      m_pane(new ScriptPane(window.document(), window.treeView->model(), &window))
{
    setObjectName(QStringLiteral("ScriptCommands"));
    window.addDockWidget(Qt::LeftDockWidgetArea, m_pane);
    m_pane->hide();

    scriptAction = new QAction(QStringLiteral("&Script"), &window);
    scriptAction->setObjectName(QStringLiteral("ScriptAction"));
    scriptAction->setShortcut(QKeySequence(Qt::Key_F8));
    QMenu *tools = nullptr;
    for (QObject *object : window.fontGeneratorAction->associatedObjects()) {
        if (!tools)
            tools = qobject_cast<QMenu *>(object);
    }
    if (tools)
        tools->addAction(scriptAction);
    else
        window.addAction(scriptAction);
    connect(scriptAction, &QAction::triggered, this, &ScriptCommands::showOrLeave);

    connect(m_pane, &ScriptPane::applyRequested, this, &ScriptCommands::apply);
    // Undo and redo also bring back record numbers, which the tree's model does not report.
    connect(&window.history(), &UndoHistory::applied, m_pane, &ScriptPane::documentChanged);
    connect(m_pane, &ScriptPane::cursorNodeChanged, this, &ScriptCommands::selectDialogOf);
    connect(window.treeView->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
        if (!m_selecting && m_pane->isVisible())
            m_pane->showNode(m_window.selectedNode());
    });
    window.addPendingWorkCheck([this] {
        return !m_pane->hasUnappliedText() ||
               m_window.prompter().confirmUnsaved(discardQuestion(), Prompter::Answer::No);
    });
}

QString ScriptCommands::discardQuestion()
{
    return QStringLiteral(
        "The script holds lines that are not applied!\n\rDo you want to continue without them?");
}

void ScriptCommands::showOrLeave()
{
    if (m_pane->isVisible() && m_pane->editor()->hasFocus()) {
        m_window.treeView->setFocus();
        return;
    }
    showPane();
    m_pane->showNode(m_window.selectedNode());
    m_pane->editor()->setFocus();
}

void ScriptCommands::showPane()
{
    const bool first = !m_placed;
    m_placed = true;
    // The view takes room beside the tree rather than from it, where the screen allows, unless
    // the tree has room to spare.
    if (first && !m_window.isMaximized() && !m_window.isFullScreen() && m_window.screen()) {
        const int spare = std::max(0, m_window.treeView->width() - kDesignedTreeWidth);
        const int room =
            m_window.screen()->availableGeometry().right() - m_window.frameGeometry().right();
        // The line between the view and the tree takes room too; without it the tree, and so
        // the width a saved file stores, would shrink by that line.
        const int separator =
            m_window.style()->pixelMetric(QStyle::PM_DockWidgetSeparatorExtent, nullptr, &m_window);
        m_window.resize(m_window.width() +
                            std::clamp(kPaneWidth + separator - spare, 0, std::max(room, 0)),
                        m_window.height());
    }
    m_pane->show();
    m_pane->raise();
    if (first)
        m_window.resizeDocks({m_pane}, {kPaneWidth}, Qt::Horizontal);
}

void ScriptCommands::restoreUnapplied(const QString &text)
{
    showPane();
    m_pane->setUnappliedText(text);
}

void ScriptCommands::selectDialogOf(DialogNode *node)
{
    DialogNode *dialog = node;
    if (!NodeText::isDialog(node->text()) && node->parent())
        dialog = DialogEdits::enclosingDialog(node);
    if (m_window.selectedNode() == dialog)
        return;
    m_selecting = true;
    m_window.selectNode(dialog);
    m_selecting = false;
}

void ScriptCommands::apply()
{
    m_window.guarded([this] {
        // A change elsewhere not yet in the view goes in first, so as not to be undone.
        m_pane->refresh();
        const Script script = ScriptParser::parse(m_pane->text());
        std::vector<ScriptError> errors = script.errors;
        const int steps = m_window.history().stack()->index();
        if (errors.empty()) {
            EditStep step(m_window.history(), QStringLiteral("Script edit"));
            errors = ScriptApply::apply(m_window.document(), script);
        }
        if (!errors.empty()) {
            m_pane->showErrors(errors);
            return;
        }
        if (m_window.history().stack()->index() != steps)
            m_window.Modified = true;
        m_pane->showApplied();
        if (DialogNode *node = m_pane->nodeAtCursor())
            selectDialogOf(node);
    });
}
