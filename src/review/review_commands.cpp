#include "review_commands.h"

#include "platform/named.h"
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

ReviewCommands::ReviewCommands(TForm1 &form) : QObject(&form), m_form(form)
{
    // The entries join the menu that holds the font generator.
    QMenu *tools = nullptr;
    for (QObject *object : form.Open4->associatedObjects()) {
        if (!tools)
            tools = qobject_cast<QMenu *>(object);
    }
    CheckDialog1 = named(new QAction(QStringLiteral("Check dialog"), &form), "CheckDialog1");
    CheckDialog1->setShortcut(QKeySequence(Qt::Key_F7));
    ReadThrough1 = named(new QAction(QStringLiteral("Read through"), &form), "ReadThrough1");
    ReadThrough1->setShortcut(QKeySequence(Qt::Key_F5));
    if (tools) {
        tools->addAction(CheckDialog1);
        tools->addAction(ReadThrough1);
    } else {
        form.addAction(CheckDialog1);
        form.addAction(ReadThrough1);
    }
    connect(CheckDialog1, &QAction::triggered, this, [this] { showWindow(checkWindow()); });
    connect(ReadThrough1, &QAction::triggered, this, [this] {
        readThroughWindow()->restart();
        showWindow(readThroughWindow());
    });
}

CheckWindow *ReviewCommands::checkWindow()
{
    if (!m_check)
        m_check = new CheckWindow(
            m_form.document(), m_form.TreeView1->model(),
            [this](const DialogNode *node) { showDialogNode(node); }, &m_form);
    return m_check;
}

ReadThroughWindow *ReviewCommands::readThroughWindow()
{
    if (!m_readThrough)
        m_readThrough = new ReadThroughWindow(
            m_form.document(), m_form.TreeView1->model(),
            [this](const DialogNode *node) { showDialogNode(node); }, &m_form);
    return m_readThrough;
}

void ReviewCommands::showDialogNode(const DialogNode *node)
{
    // The tree hands out its nodes for changing; look the node up by its place to select it.
    DialogTree &tree = m_form.document();
    const int index = node->absoluteIndex();
    if (index >= 0 && index < tree.count() && tree.nodeAt(index) == node) {
        m_form.selectNode(tree.nodeAt(index));
        m_form.activateWindow();
    }
}
