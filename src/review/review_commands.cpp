#include "review_commands.h"

#include "document/node_text.h"
#include "flowmap/flow_map_view.h"
#include "flowmap/flow_map_window.h"
#include "platform/named.h"
#include "platform/object_names.h"
#include "review/check_window.h"
#include "review/read_through_window.h"
#include "review/readings_replayer.h"
#include "windows/dialog_tree_view.h"
#include "windows/main_window.h"
#include "windows/window_places.h"

#include <QAction>
#include <QMenu>
#include <QScreen>

namespace {

void showWindow(QWidget *window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace

ReviewCommands::ReviewCommands(MainWindow &window)
    : QObject(&window), m_window(window), m_readings(new ReadingsReplayer(
                                              window.document(), window.treeView->model(),
                                              [&window] { return window.CurrentFileName; }, this))
{
    // The entries join the menu that holds the font generator.
    QMenu *tools = nullptr;
    for (QObject *object : window.fontGeneratorAction->associatedObjects()) {
        if (!tools)
            tools = qobject_cast<QMenu *>(object);
    }
    checkDialogAction = named(new QAction(QStringLiteral("&Check dialog"), &window),
                              ObjectNames::Main::checkDialogAction);
    checkDialogAction->setShortcut(QKeySequence(Qt::Key_F7));
    readThroughAction = named(new QAction(QStringLiteral("&Read through"), &window),
                              ObjectNames::Main::readThroughAction);
    readThroughAction->setShortcut(QKeySequence(Qt::Key_F5));
    readFromHereAction = named(new QAction(QStringLiteral("Read from &here"), &window),
                               ObjectNames::Main::readFromHereAction);
    readFromHereAction->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F5));
    flowMapAction =
        named(new QAction(QStringLiteral("Flow &map"), &window), ObjectNames::Main::flowMapAction);
    flowMapAction->setShortcut(QKeySequence(Qt::Key_F6));
    for (QAction *action :
         {checkDialogAction, readThroughAction, readFromHereAction, flowMapAction}) {
        if (tools)
            tools->addAction(action);
        else
            window.addAction(action);
    }
    connect(checkDialogAction, &QAction::triggered, this, [this] { showWindow(checkWindow()); });
    connect(readThroughAction, &QAction::triggered, this, [this] {
        readThroughWindow()->readFrom(nullptr);
        showWindow(readThroughWindow());
    });
    connect(readFromHereAction, &QAction::triggered, this, &ReviewCommands::readFromHere);
    connect(flowMapAction, &QAction::triggered, this, [this] {
        showWindow(flowMapWindow());
        flowMapWindow()->view()->showNode(m_window.selectedNode());
    });
    showInFlowMapAction = named(new QAction(QStringLiteral("Show in flow map"), &window),
                                ObjectNames::Main::showInFlowMapAction);
    showInFlowMapAction->setVisible(false);
    window.treeMenu->addSeparator();
    window.treeMenu->addAction(readFromHereAction);
    window.treeMenu->addAction(showInFlowMapAction);
    // In the Edit menu too, after Rename and Delete.
    for (QObject *object : window.undoAction->associatedObjects()) {
        if (auto *menu = qobject_cast<QMenu *>(object); menu && menu != window.treeMenu)
            menu->addAction(showInFlowMapAction);
    }
    connect(showInFlowMapAction, &QAction::triggered, flowMapAction, &QAction::trigger);
    // A node selected in the tree shows its dialog in the map.
    connect(window.treeView->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
        if (m_flowMap && m_flowMap->isVisible())
            m_flowMap->view()->showNode(m_window.selectedNode());
    });
}

ReviewCommands::~ReviewCommands()
{
    delete m_readThrough;
    delete m_check;
}

FlowMapWindow *ReviewCommands::flowMapWindow()
{
    if (!m_flowMap) {
        m_flowMap = new FlowMapWindow(
            m_window.document(), m_window.treeView->model(),
            [this]() -> const DialogNode * { return m_window.selectedNode(); },
            [this] { return m_window.CurrentFileName; }, m_window.prompter(), &m_window);
        // Beside the main window where the screen has room, so that both can be seen; where
        // the author left it once it was moved.
        const QRect room = m_window.screen()->availableGeometry();
        const QPoint beside = m_window.frameGeometry().topRight() + QPoint(4, 0);
        if (room.contains(QRect(beside, m_flowMap->size())))
            m_flowMap->move(beside);
        WindowPlaces::keep(m_flowMap);
        addReviewActions(m_flowMap);
        showInFlowMapAction->setVisible(true);
        connect(m_flowMap, &FlowMapWindow::dialogClicked, this,
                [this](const DialogNode *dialog) { showDialogNode(dialog, false); });
        emit flowMapWindowMade(m_flowMap);
    }
    return m_flowMap;
}

CheckWindow *ReviewCommands::checkWindow()
{
    if (!m_check) {
        m_check = new CheckWindow(
            m_window.document(), m_window.treeView->model(),
            [this](const DialogNode *node) { showDialogNode(node); }, &m_window);
        m_check->setReadings(m_readings);
        WindowPlaces::keep(m_check);
        addReviewActions(m_check);
    }
    return m_check;
}

ReadThroughWindow *ReviewCommands::readThroughWindow()
{
    if (!m_readThrough) {
        m_readThrough = new ReadThroughWindow(
            m_window.document(), m_window.treeView->model(), *m_readings, m_window.prompter(),
            [this](const DialogNode *node) { showDialogNode(node); }, &m_window);
        WindowPlaces::keep(m_readThrough);
        addReviewActions(m_readThrough);
    }
    return m_readThrough;
}

void ReviewCommands::addReviewActions(QWidget *window)
{
    // Saving, undo, redo and the review windows' keys work there as in the main window.
    window->addActions({m_window.saveAction, m_window.undoAction, m_window.redoAction,
                        checkDialogAction, readThroughAction, readFromHereAction, flowMapAction});
}

void ReviewCommands::showDialogNode(const DialogNode *node, bool activate)
{
    // The tree hands out its nodes for changing; look the node up by its place to select it.
    DialogTree &tree = m_window.document();
    const int index = node->absoluteIndex();
    if (index >= 0 && index < tree.count() && tree.nodeAt(index) == node) {
        m_window.selectNode(tree.nodeAt(index));
        if (activate)
            m_window.activateWindow();
    }
}

void ReviewCommands::readFromHere()
{
    const DialogNode *dialog = m_window.selectedNode();
    while (dialog && !NodeText::isDialog(dialog->text()))
        dialog = dialog->parent();
    if (!dialog) {
        m_window.prompter().message(QStringLiteral("Select the dialog to read from first."));
        return;
    }
    readThroughWindow()->readFrom(dialog);
    showWindow(readThroughWindow());
}
