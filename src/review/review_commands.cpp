#include "review_commands.h"

#include "platform/named.h"
#include "platform/object_names.h"
#include "review/check_window.h"
#include "review/read_through_window.h"
#include "windows/dialog_tree_view.h"
#include "windows/main_window.h"

#include <QAction>
#include <QMenu>

namespace {

void showWindow(QWidget *window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace

ReviewCommands::ReviewCommands(MainWindow &window) : QObject(&window), m_window(window)
{
    // The entries join the menu that holds the font generator.
    QMenu *tools = nullptr;
    for (QObject *object : window.fontGeneratorAction->associatedObjects()) {
        if (!tools)
            tools = qobject_cast<QMenu *>(object);
    }
    checkDialogAction = named(new QAction(QStringLiteral("Check dialog"), &window),
                              ObjectNames::Main::checkDialogAction);
    checkDialogAction->setShortcut(QKeySequence(Qt::Key_F7));
    readThroughAction = named(new QAction(QStringLiteral("Read through"), &window),
                              ObjectNames::Main::readThroughAction);
    readThroughAction->setShortcut(QKeySequence(Qt::Key_F5));
    if (tools) {
        tools->addAction(checkDialogAction);
        tools->addAction(readThroughAction);
    } else {
        window.addAction(checkDialogAction);
        window.addAction(readThroughAction);
    }
    connect(checkDialogAction, &QAction::triggered, this, [this] { showWindow(checkWindow()); });
    connect(readThroughAction, &QAction::triggered, this, [this] {
        readThroughWindow()->restart();
        showWindow(readThroughWindow());
    });
}

CheckWindow *ReviewCommands::checkWindow()
{
    if (!m_check)
        m_check = new CheckWindow(
            m_window.document(), m_window.treeView->model(),
            [this](const DialogNode *node) { showDialogNode(node); }, &m_window);
    return m_check;
}

ReadThroughWindow *ReviewCommands::readThroughWindow()
{
    if (!m_readThrough)
        m_readThrough = new ReadThroughWindow(
            m_window.document(), m_window.treeView->model(),
            [this](const DialogNode *node) { showDialogNode(node); }, &m_window);
    return m_readThrough;
}

void ReviewCommands::showDialogNode(const DialogNode *node)
{
    // The tree hands out its nodes for changing; look the node up by its place to select it.
    DialogTree &tree = m_window.document();
    const int index = node->absoluteIndex();
    if (index >= 0 && index < tree.count() && tree.nodeAt(index) == node) {
        m_window.selectNode(tree.nodeAt(index));
        m_window.activateWindow();
    }
}
