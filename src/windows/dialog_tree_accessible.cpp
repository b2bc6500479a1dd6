#include "dialog_tree_accessible.h"

#include "dialog_tree_model.h"
#include "dialog_tree_view.h"

#include "document/dialog_tree.h"

#include <QItemSelectionModel>

namespace {

// One node of the tree as an accessible item.
class NodeAccessible : public QAccessibleInterface
{
public:
    NodeAccessible(const DialogTreeAccessible *tree, const DialogNode *node)
        : m_tree(tree), m_node(node)
    {
    }

    bool isValid() const override { return m_tree->view() != nullptr; }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return m_tree->window(); }
    QAccessibleInterface *parent() const override
    {
        return m_node->parent() ? m_tree->itemFor(m_node->parent())
                                : const_cast<DialogTreeAccessible *>(m_tree);
    }
    QAccessibleInterface *child(int index) const override
    {
        return index >= 0 && index < m_node->childCount() ? m_tree->itemFor(m_node->child(index))
                                                          : nullptr;
    }
    int childCount() const override { return m_node->childCount(); }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        for (int row = 0; row < m_node->childCount(); ++row) {
            if (m_tree->itemFor(m_node->child(row)) == child)
                return row;
        }
        return -1;
    }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text kind) const override
    {
        if (kind != QAccessible::Name)
            return QString();
        return m_tree->view()->dialogModel()->data(index(), Qt::DisplayRole).toString();
    }
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override
    {
        DialogTreeView *view = m_tree->view();
        const QRect shown = view->visualRect(index());
        return QRect(view->viewport()->mapToGlobal(shown.topLeft()), shown.size());
    }
    QAccessible::Role role() const override { return QAccessible::TreeItem; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        DialogTreeView *view = m_tree->view();
        state.selectable = true;
        state.focusable = true;
        state.selected = view->selectionModel()->isSelected(index());
        state.focused = view->hasFocus() && view->currentIndex() == index();
        // Every node is shown open, always.
        state.expandable = m_node->childCount() > 0;
        state.expanded = state.expandable;
        return state;
    }

private:
    QModelIndex index() const { return m_tree->view()->dialogModel()->indexOf(m_node); }

    const DialogTreeAccessible *m_tree;
    const DialogNode *m_node;
};

QAccessibleInterface *makeTreeInterface(const QString &className, QObject *object)
{
    if (className == u"DialogTreeView" && object->isWidgetType())
        return new DialogTreeAccessible(static_cast<DialogTreeView *>(object));
    return nullptr;
}

} // namespace

DialogTreeAccessible::DialogTreeAccessible(DialogTreeView *view)
    : QAccessibleWidget(view, QAccessible::Tree)
{
    view->setAccessibleTree(this);
}

DialogTreeAccessible::~DialogTreeAccessible()
{
    if (view())
        view()->setAccessibleTree(nullptr);
    forgetItems();
}

void DialogTreeAccessible::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(makeTreeInterface);
        return true;
    }();
    Q_UNUSED(installed);
}

DialogTreeView *DialogTreeAccessible::view() const
{
    return static_cast<DialogTreeView *>(widget());
}

int DialogTreeAccessible::childCount() const
{
    return view()->dialogModel() ? view()->dialogModel()->tree().topLevelCount() : 0;
}

QAccessibleInterface *DialogTreeAccessible::child(int index) const
{
    if (index < 0 || index >= childCount())
        return nullptr;
    return itemFor(view()->dialogModel()->tree().topLevel(index));
}

int DialogTreeAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    for (int row = 0; row < childCount(); ++row) {
        if (this->child(row) == child)
            return row;
    }
    return -1;
}

QAccessibleInterface *DialogTreeAccessible::childAt(int x, int y) const
{
    const QPoint at = view()->viewport()->mapFromGlobal(QPoint(x, y));
    const DialogNode *node = view()->nodeAt(at);
    return node ? itemFor(node) : nullptr;
}

QAccessibleInterface *DialogTreeAccessible::itemFor(const DialogNode *node) const
{
    const auto found = m_items.constFind(node);
    if (found != m_items.constEnd())
        return QAccessible::accessibleInterface(*found);
    QAccessibleInterface *item = new NodeAccessible(this, node);
    m_items.insert(node, QAccessible::registerAccessibleInterface(item));
    return item;
}

void DialogTreeAccessible::forgetItems()
{
    for (const QAccessible::Id id : std::as_const(m_items))
        QAccessible::deleteAccessibleInterface(id);
    m_items.clear();
}
