#include "dialog_tree_model.h"

#include "tree_changes.h"
#include "undo_history.h"

#include "document/action_reference.h"
#include "document/dialog_edits.h"
#include "document/dialog_numbers.h"
#include "document/dialog_summary.h"
#include "document/dialog_tree.h"
#include "platform/ansi.h"

#include <algorithm>
#include <optional>

DialogTreeModel::DialogTreeModel(DialogTree &tree, QObject *parent)
    : QAbstractItemModel(parent), m_tree(tree)
{
    m_boldFont.setBold(true);
    m_tree.addObserver(this);
    connectTreeChanges(this, this, [this] { m_numbers.reset(); });
}

QString DialogTreeModel::referenceHint(const DialogNode *node) const
{
    if (!node || !ActionReference::mayName(node->text()))
        return QString();
    const ActionReference reference = ActionReference::parse(node->text());
    if (reference.kind == ActionReference::None)
        return QString();
    if (!m_numbers)
        m_numbers = std::make_unique<DialogNumbers>(m_tree);
    const DialogNode *target = m_numbers->find(reference.dialog);
    return target ? DialogSummary::glance(target, 48) : QStringLiteral("missing");
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
    // A node out of the tree (held by the undo history) keeps its last position; it has no row.
    const int row = node ? node->absoluteIndex() : -1;
    if (row < 0 || row >= m_tree.count() || m_tree.nodeAt(row) != node)
        return {};
    return createIndex(row, 0, const_cast<DialogNode *>(node));
}

QModelIndex DialogTreeModel::index(int row, int column, const QModelIndex &parent) const
{
    if (parent.isValid() || column != 0 || row < 0 || row >= m_tree.count())
        return {};
    return createIndex(row, 0, m_tree.nodeAt(row));
}

QModelIndex DialogTreeModel::parent(const QModelIndex &) const
{
    return {};
}

int DialogTreeModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_tree.count();
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
    const QString character = Ansi::firstUnrepresentable(value.toString());
    if (!character.isEmpty()) {
        emit renameRefused(Ansi::unrepresentableText(character));
        return false;
    }
    const QByteArray text = Ansi::fromUnicode(value.toString());
    if (text == n->text())
        return true;
    std::optional<EditStep> step;
    if (m_history)
        step.emplace(*m_history, QStringLiteral("Rename to ") + value.toString());
    DialogEdits(m_tree).rename(n, text);
    return true;
}

Qt::ItemFlags DialogTreeModel::flags(const QModelIndex &index) const
{
    // The view asks every row at each layout; the answer needs no look at the node.
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsDragEnabled |
           Qt::ItemIsDropEnabled | Qt::ItemNeverHasChildren;
}

Qt::DropActions DialogTreeModel::supportedDropActions() const
{
    return Qt::MoveAction;
}

Qt::DropActions DialogTreeModel::supportedDragActions() const
{
    return Qt::MoveAction;
}

void DialogTreeModel::nodeAboutToBeInserted(DialogNode *, int, int position, int count)
{
    beginInsertRows({}, position, position + count - 1);
}

void DialogTreeModel::nodeInserted(DialogNode *)
{
    endInsertRows();
}

void DialogTreeModel::nodeAboutToBeRemoved(DialogNode *node)
{
    const int first = node->absoluteIndex();
    beginRemoveRows({}, first, first + node->subtreeSize() - 1);
}

void DialogTreeModel::nodeRemoved()
{
    endRemoveRows();
}

void DialogTreeModel::nodeAboutToBeMoved(DialogNode *node, DialogNode *newParent, int newRow)
{
    // The rows go in front of the node now at newRow, or after the new parent's last row.
    const int siblings = newParent ? newParent->childCount() : m_tree.topLevelCount();
    int destination = m_tree.count();
    if (newRow < siblings)
        destination =
            (newParent ? newParent->child(newRow) : m_tree.topLevel(newRow))->absoluteIndex();
    else if (newParent)
        destination = newParent->lastDescendant()->absoluteIndex() + 1;
    const int first = node->absoluteIndex();
    const int last = first + node->subtreeSize() - 1;
    m_movingRows = destination < first || destination > last + 1;
    if (m_movingRows)
        beginMoveRows({}, first, last, {}, destination);
    else
        emit layoutAboutToBeChanged();
}

void DialogTreeModel::nodeMoved(DialogNode *)
{
    if (m_movingRows)
        endMoveRows();
    else
        emit layoutChanged();
}

void DialogTreeModel::nodeChanged(DialogNode *node)
{
    const QModelIndex index = indexOf(node);
    if (index.isValid())
        emit dataChanged(index, index);
}

void DialogTreeModel::nodesChanged(const std::vector<DialogNode *> &nodes)
{
    // One notice spanning the changed rows: renumbering after an insertion near the top renames
    // every later dialog, and one notice each would cost more than the pass.
    int first = m_tree.count();
    int last = -1;
    for (const DialogNode *node : nodes) {
        if (indexOf(node).isValid()) {
            first = std::min(first, node->absoluteIndex());
            last = std::max(last, node->absoluteIndex());
        }
    }
    if (first <= last)
        emit dataChanged(index(first, 0), index(last, 0));
}

void DialogTreeModel::aboutToReset()
{
    beginResetModel();
}

void DialogTreeModel::reset()
{
    endResetModel();
}
