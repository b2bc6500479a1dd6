#include "dialog_tree_model.h"

#include "undo_history.h"

#include "document/dialog_edits.h"
#include "document/dialog_tree.h"
#include "platform/ansi.h"

#include <QHash>
#include <algorithm>
#include <optional>

DialogTreeModel::DialogTreeModel(DialogTree &tree, QObject *parent)
    : QAbstractItemModel(parent), m_tree(tree)
{
    m_boldFont.setBold(true);
    m_tree.addObserver(this);
}

DialogTreeModel::~DialogTreeModel()
{
    m_tree.removeObserver(this);
}

DialogNode *DialogTreeModel::node(const QModelIndex &index) const
{
    return index.isValid() ? static_cast<DialogNode *>(index.internalPointer()) : nullptr;
}

void DialogTreeModel::setBaseFont(const QFont &font)
{
    m_boldFont = font;
    m_boldFont.setBold(true);
}

QModelIndex DialogTreeModel::indexOf(const DialogNode *node) const
{
    return node ? createIndex(node->row(), 0, const_cast<DialogNode *>(node)) : QModelIndex();
}

QModelIndex DialogTreeModel::index(int row, int column, const QModelIndex &parent) const
{
    if (column != 0 || row < 0)
        return {};
    if (const DialogNode *p = node(parent)) {
        return row < p->childCount() ? createIndex(row, 0, p->child(row)) : QModelIndex();
    }
    return row < m_tree.topLevelCount() ? createIndex(row, 0, m_tree.topLevel(row)) : QModelIndex();
}

QModelIndex DialogTreeModel::parent(const QModelIndex &child) const
{
    const DialogNode *n = node(child);
    return n ? indexOf(n->parent()) : QModelIndex();
}

int DialogTreeModel::rowCount(const QModelIndex &parent) const
{
    if (parent.column() > 0)
        return 0;
    const DialogNode *p = node(parent);
    return p ? p->childCount() : m_tree.topLevelCount();
}

int DialogTreeModel::columnCount(const QModelIndex &) const
{
    return 1;
}

QVariant DialogTreeModel::data(const QModelIndex &index, int role) const
{
    const DialogNode *n = node(index);
    if (!n)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return Ansi::toUnicode(n->text());
    case Qt::FontRole:
        return n->isBold() ? QVariant(m_boldFont) : QVariant();
    default:
        return {};
    }
}

bool DialogTreeModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    DialogNode *n = node(index);
    if (!n || role != Qt::EditRole)
        return false;
    const QByteArray text = Ansi::fromUnicode(value.toString());
    if (text == n->text())
        return true;
    std::optional<EditStep> step;
    if (m_history)
        step.emplace(*m_history, QStringLiteral("Rename ") + Ansi::toUnicode(n->text()));
    DialogEdits(m_tree).rename(n, text);
    return true;
}

Qt::ItemFlags DialogTreeModel::flags(const QModelIndex &index) const
{
    const DialogNode *n = node(index);
    if (!n)
        return Qt::ItemIsDropEnabled;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable |
                          Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled;
    // The view looks up whether a leaf is expanded only when it may have children; on a large
    // open tree that look-up is most of the work of every relayout. The flag follows the node:
    // a leaf that gains a child loses it.
    if (n->childCount() == 0)
        flags |= Qt::ItemNeverHasChildren;
    return flags;
}

Qt::DropActions DialogTreeModel::supportedDropActions() const
{
    return Qt::MoveAction;
}

Qt::DropActions DialogTreeModel::supportedDragActions() const
{
    return Qt::MoveAction;
}

void DialogTreeModel::nodeAboutToBeInserted(DialogNode *parent, int row)
{
    beginInsertRows(indexOf(parent), row, row);
}

void DialogTreeModel::nodeInserted(DialogNode *)
{
    endInsertRows();
}

void DialogTreeModel::nodeAboutToBeRemoved(DialogNode *node)
{
    beginRemoveRows(indexOf(node->parent()), node->row(), node->row());
}

void DialogTreeModel::nodeRemoved()
{
    endRemoveRows();
}

void DialogTreeModel::nodeAboutToBeMoved(DialogNode *node, DialogNode *newParent, int newRow)
{
    beginMoveRows(indexOf(node->parent()), node->row(), node->row(), indexOf(newParent), newRow);
}

void DialogTreeModel::nodeMoved(DialogNode *)
{
    endMoveRows();
}

void DialogTreeModel::nodeChanged(DialogNode *node)
{
    const QModelIndex index = indexOf(node);
    emit dataChanged(index, index);
}

void DialogTreeModel::nodesChanged(const std::vector<DialogNode *> &nodes)
{
    // One notice per parent, spanning its changed rows: renumbering after an insertion near the
    // top renames every later dialog, and one notice each would cost more than the pass.
    struct Span
    {
        const DialogNode *parent;
        int first;
        int last;
    };
    std::vector<Span> spans;
    QHash<const DialogNode *, size_t> spanOf;
    for (const DialogNode *node : nodes) {
        const DialogNode *parent = node->parent();
        const auto found = spanOf.constFind(parent);
        if (found == spanOf.cend()) {
            spanOf.insert(parent, spans.size());
            spans.push_back({parent, node->row(), node->row()});
        } else {
            Span &span = spans[*found];
            span.first = std::min(span.first, node->row());
            span.last = std::max(span.last, node->row());
        }
    }
    for (const Span &span : spans) {
        const QModelIndex parentIndex = indexOf(span.parent);
        emit dataChanged(index(span.first, 0, parentIndex), index(span.last, 0, parentIndex));
    }
}

void DialogTreeModel::aboutToReset()
{
    beginResetModel();
}

void DialogTreeModel::reset()
{
    endResetModel();
}

void DialogTreeModel::nodeAdded(DialogNode *node)
{
    emit nodeWasAdded(node);
}
