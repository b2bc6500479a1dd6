#include "dialog_tree.h"

#include "node_text.h"
#include "platform/app_error.h"
#include "tree_journal.h"
#include "tree_observer.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

// Beyond this many subtrees removeIf rebuilds the tree in one sweep and tells observers of a
// reset instead of one removal each.
constexpr size_t kSingleRemovalLimit = 64;

} // namespace

DialogTree::DialogTree() : m_top(new DialogNode)
{
    m_top->m_invisibleRoot = true;
}

DialogTree::~DialogTree() = default;

template <typename F> void DialogTree::notify(F &&f)
{
    for (TreeObserver *observer : m_observers)
        f(observer);
}

DialogNode *DialogTree::nodeAt(int index) const
{
    if (index < 0 || index >= count())
        throw AppError(QStringLiteral("List index out of bounds (%1)").arg(index));
    return m_order[size_t(index)];
}

DialogNode *DialogTree::lastTopLevel() const
{
    return m_top->m_children.empty() ? nullptr : m_top->m_children.back().get();
}

bool DialogTree::contains(const DialogNode *node) const
{
    return node && node->isInSubtreeOf(m_top.get());
}

DialogNode *DialogTree::addSibling(DialogNode *node, const QByteArray &text)
{
    return createNode(node ? node->parent() : nullptr, text);
}

DialogNode *DialogTree::addRootNode()
{
    DialogNode *root = addChild(nullptr, NodeText::root());
    setBold(root, true);
    setImageIndex(root, 3);
    return root;
}

DialogNode *DialogTree::addChild(DialogNode *parent, const QByteArray &text)
{
    return createNode(parent, text);
}

DialogNode *DialogTree::createNode(DialogNode *parent, const QByteArray &text)
{
    // The node being created is not part of the pass that runs before its creation.
    renumberDialogs();

    DialogNode *p = top(parent);
    const int row = p->childCount();
    const int position = p->lastDescendant()->m_index + 1;

    notify([&](TreeObserver *o) { o->nodeAboutToBeInserted(parent, row, position, 1); });
    auto owned = std::unique_ptr<DialogNode>(new DialogNode);
    DialogNode *node = owned.get();
    node->assignText(text);
    node->m_parent = p;
    node->m_row = row;
    p->m_children.push_back(std::move(owned));
    m_order.insert(m_order.begin() + position, node);
    reindexFrom(position);
    markDirty(position);
    notify([&](TreeObserver *o) { o->nodeInserted(node); });
    if (m_journal) {
        TreeJournal::Change change{TreeJournal::Change::Insert, node};
        change.nested = m_journal->m_inserted.count(p) > 0;
        m_journal->m_inserted.insert(node);
        m_journal->m_changes.push_back(std::move(change));
    }

    if (!m_holdAdditions)
        announceAddition(node);
    return node;
}

void DialogTree::announceAddition(DialogNode *node)
{
    notify([&](TreeObserver *o) { o->nodeAdded(node); });
}

bool DialogTree::moveBefore(DialogNode *node, DialogNode *target)
{
    if (!node || !target || target->isInSubtreeOf(node) || node->nextSibling() == target)
        return false;

    DialogNode *oldParent = node->m_parent;
    const int oldRow = node->m_row;
    DialogNode *newParent = target->m_parent;
    const bool later = newParent == oldParent && oldRow < target->m_row;
    moveTo(node, newParent, later ? target->m_row - 1 : target->m_row);
    if (m_journal) {
        TreeJournal::Change change{TreeJournal::Change::Move, node, oldParent, oldRow};
        change.toParent = newParent;
        change.toRow = node->m_row;
        m_journal->m_changes.push_back(std::move(change));
    }
    return true;
}

void DialogTree::move(DialogNode *node, DialogNode *parent, int row)
{
    DialogNode *oldParent = node->m_parent;
    const int oldRow = node->m_row;
    DialogNode *newParent = top(parent);
    if (newParent == oldParent && row == oldRow)
        return;
    moveTo(node, newParent, row);
    if (m_journal) {
        TreeJournal::Change change{TreeJournal::Change::Move, node, oldParent, oldRow};
        change.toParent = newParent;
        change.toRow = row;
        m_journal->m_changes.push_back(std::move(change));
    }
}

void DialogTree::moveTo(DialogNode *node, DialogNode *parent, int row)
{
    DialogNode *oldParent = node->m_parent;
    const int oldRow = node->m_row;
    // The row among parent's children as they stand while the node is still in its old place.
    const int rowBefore = parent == oldParent && row >= oldRow ? row + 1 : row;
    DialogNode *shownParent = parent->m_invisibleRoot ? nullptr : parent;
    notify([&](TreeObserver *o) { o->nodeAboutToBeMoved(node, shownParent, rowBefore); });

    const int from = node->m_index;
    const int size = node->subtreeSize();
    const int to = rowBefore < parent->childCount() ? parent->child(rowBefore)->m_index
                                                    : parent->lastDescendant()->m_index + 1;

    auto owned = std::move(oldParent->m_children[size_t(oldRow)]);
    oldParent->m_children.erase(oldParent->m_children.begin() + oldRow);
    for (int r = oldRow; r < oldParent->childCount(); ++r)
        oldParent->m_children[size_t(r)]->m_row = r;
    parent->m_children.insert(parent->m_children.begin() + row, std::move(owned));
    node->m_parent = parent;
    for (int r = row; r < parent->childCount(); ++r)
        parent->m_children[size_t(r)]->m_row = r;

    // Pre-order: the subtree's block of positions moves in front of position to.
    auto begin = m_order.begin();
    if (to <= from) {
        std::rotate(begin + to, begin + from, begin + from + size);
        reindexFrom(to);
        markDirty(to);
    } else {
        std::rotate(begin + from, begin + from + size, begin + to);
        reindexFrom(from);
        markDirty(from);
    }
    notify([&](TreeObserver *o) { o->nodeMoved(node); });
}

void DialogTree::remove(DialogNode *node)
{
    if (!node)
        return;
    DialogNode *parent = node->m_parent;
    const int row = node->m_row;
    std::unique_ptr<DialogNode> owned = detach(node);
    if (m_journal) {
        TreeJournal::Change change{TreeJournal::Change::Remove, node, parent, row};
        change.detached = std::move(owned);
        m_journal->m_changes.push_back(std::move(change));
    }
}

std::unique_ptr<DialogNode> DialogTree::detach(DialogNode *node)
{
    notify([&](TreeObserver *o) { o->nodeAboutToBeRemoved(node); });
    const int from = node->m_index;
    const int size = node->subtreeSize();
    m_order.erase(m_order.begin() + from, m_order.begin() + from + size);
    DialogNode *parent = node->m_parent;
    const int row = node->m_row;
    std::unique_ptr<DialogNode> owned = std::move(parent->m_children[size_t(row)]);
    parent->m_children.erase(parent->m_children.begin() + row);
    for (int r = row; r < parent->childCount(); ++r)
        parent->m_children[size_t(r)]->m_row = r;
    owned->m_parent = nullptr;
    reindexFrom(from);
    markDirty(from);
    notify([](TreeObserver *o) { o->nodeRemoved(); });
    return owned;
}

void DialogTree::attach(std::unique_ptr<DialogNode> owned, DialogNode *parent, int row)
{
    DialogNode *node = owned.get();
    DialogNode *shownParent = parent->m_invisibleRoot ? nullptr : parent;
    const int position = row < parent->childCount() ? parent->child(row)->m_index
                                                    : parent->lastDescendant()->m_index + 1;
    std::vector<DialogNode *> block;
    std::vector<DialogNode *> stack{node};
    while (!stack.empty()) {
        DialogNode *n = stack.back();
        stack.pop_back();
        block.push_back(n);
        for (int r = n->childCount() - 1; r >= 0; --r)
            stack.push_back(n->child(r));
    }
    notify([&](TreeObserver *o) {
        o->nodeAboutToBeInserted(shownParent, row, position, int(block.size()));
    });
    node->m_parent = parent;
    parent->m_children.insert(parent->m_children.begin() + row, std::move(owned));
    for (int r = row; r < parent->childCount(); ++r)
        parent->m_children[size_t(r)]->m_row = r;
    m_order.insert(m_order.begin() + position, block.begin(), block.end());
    reindexFrom(position);
    markDirty(position);
    notify([&](TreeObserver *o) { o->nodeInserted(node); });
}

void DialogTree::setJournal(TreeJournal *journal)
{
    if (m_journal)
        m_journal->m_dialogCountAfter = m_dialogCount;
    m_journal = journal;
    if (m_journal)
        m_journal->m_dialogCountBefore = m_dialogCount;
}

void DialogTree::settleReferences()
{
    if (m_journal)
        m_journal->m_references.clear();
}

void DialogTree::recordLabel(DialogNode *node, const QByteArray &oldText, bool oldBold,
                             bool numbering)
{
    TreeJournal::Change change{TreeJournal::Change::Label, node};
    change.oldText = oldText;
    change.oldBold = oldBold;
    change.newText = node->m_text;
    change.newBold = node->m_bold;
    change.numbering = numbering;
    m_journal->m_changes.push_back(std::move(change));
}

void DialogTree::recordValues(DialogNode *node, qint32 image, qint32 selected, qint32 state,
                              qint32 overlay, quint32 data)
{
    TreeJournal::Change change{TreeJournal::Change::Values, node};
    change.oldRecord = {node->m_imageIndex, node->m_selectedIndex, node->m_stateIndex,
                        node->m_overlayIndex, node->m_data};
    change.newRecord = {image, selected, state, overlay, data};
    m_journal->m_changes.push_back(std::move(change));
}

void DialogTree::restoreLabels(
    const std::vector<std::pair<DialogNode *, std::pair<QByteArray, bool>>> &labels)
{
    std::vector<DialogNode *> changed;
    changed.reserve(labels.size());
    for (const auto &[node, label] : labels) {
        node->assignText(label.first);
        node->m_bold = label.second;
        markDirty(node->m_index);
        changed.push_back(node);
    }
    if (!changed.empty())
        notify([&](TreeObserver *o) { o->nodesChanged(changed); });
}

void DialogTree::restoreValues(DialogNode *node, qint32 image, qint32 selected, qint32 state,
                               qint32 overlay, quint32 data)
{
    node->m_imageIndex = image;
    node->m_selectedIndex = selected;
    node->m_stateIndex = state;
    node->m_overlayIndex = overlay;
    node->m_data = data;
}

int DialogTree::removeIf(const std::function<bool(const DialogNode *)> &matches)
{
    std::vector<DialogNode *> doomed;
    for (int i = 0; i < count();) {
        DialogNode *node = m_order[size_t(i)];
        if (matches(node)) {
            doomed.push_back(node);
            i = node->lastDescendant()->m_index + 1;
        } else {
            ++i;
        }
    }
    if (doomed.empty())
        return 0;

    // A journal hears of each removal on its own.
    if (doomed.size() <= kSingleRemovalLimit || m_journal) {
        // Last first, so that the earlier ones keep their positions.
        for (auto it = doomed.rbegin(); it != doomed.rend(); ++it)
            remove(*it);
        return int(doomed.size());
    }

    const int first = doomed.front()->m_index;
    notify([](TreeObserver *o) { o->aboutToReset(); });
    for (DialogNode *node : doomed)
        node->m_doomed = true;
    std::vector<DialogNode *> parents;
    for (DialogNode *node : doomed) {
        if (parents.empty() || parents.back() != node->m_parent)
            parents.push_back(node->m_parent);
    }
    std::sort(parents.begin(), parents.end());
    parents.erase(std::unique(parents.begin(), parents.end()), parents.end());
    for (DialogNode *parent : parents) {
        std::erase_if(parent->m_children,
                      [](const std::unique_ptr<DialogNode> &c) { return c->m_doomed; });
        for (int r = 0; r < parent->childCount(); ++r)
            parent->m_children[size_t(r)]->m_row = r;
    }
    rebuildOrder();
    markDirty(first);
    notify([](TreeObserver *o) { o->reset(); });
    return int(doomed.size());
}

void DialogTree::clear()
{
    notify([](TreeObserver *o) { o->aboutToReset(); });
    m_top->m_children.clear();
    m_order.clear();
    m_cleanUpTo = 0;
    notify([](TreeObserver *o) { o->reset(); });
}

void DialogTree::swapContents(DialogTree &other)
{
    notify([](TreeObserver *o) { o->aboutToReset(); });
    std::swap(m_top, other.m_top);
    std::swap(m_order, other.m_order);
    std::swap(m_cleanUpTo, other.m_cleanUpTo);
    std::swap(m_dialogCount, other.m_dialogCount);
    notify([](TreeObserver *o) { o->reset(); });
}

void DialogTree::setText(DialogNode *node, const QByteArray &text)
{
    if (!node || node->m_text == text)
        return;
    if (m_journal) {
        const QByteArray old = node->m_text;
        node->assignText(text);
        recordLabel(node, old, node->m_bold);
    } else {
        node->assignText(text);
    }
    markDirty(node->m_index);
    notify([&](TreeObserver *o) { o->nodeChanged(node); });
}

void DialogTree::setBold(DialogNode *node, bool bold)
{
    if (!node || node->m_bold == bold)
        return;
    node->m_bold = bold;
    if (m_journal)
        recordLabel(node, node->m_text, !bold);
    markDirty(node->m_index);
    notify([&](TreeObserver *o) { o->nodeChanged(node); });
}

void DialogTree::setImageIndex(DialogNode *node, qint32 image)
{
    if (!node)
        return;
    if (m_journal)
        recordValues(node, image, node->m_selectedIndex, node->m_stateIndex, node->m_overlayIndex,
                     node->m_data);
    node->m_imageIndex = image;
}

void DialogTree::setRecord(DialogNode *node, qint32 image, qint32 selected, qint32 state,
                           qint32 overlay, quint32 data)
{
    if (m_journal)
        recordValues(node, image, selected, state, overlay, data);
    restoreValues(node, image, selected, state, overlay, data);
}

void DialogTree::renumberDialogs()
{
    std::vector<DialogNode *> changed;
    int counter = m_cleanUpTo > 0 ? m_order[size_t(m_cleanUpTo - 1)]->m_ordinal : 0;
    for (int i = m_cleanUpTo; i < count(); ++i) {
        DialogNode *node = m_order[size_t(i)];
        if (node->hasKind(DialogNode::NumberedText)) {
            ++counter;
            // Renaming rewrites the text in place: a whole tree renumbered after an insertion
            // at its top must not cost one allocation per dialog.
            char digits[16];
            const int length = std::snprintf(digits, sizeof digits, "%d", counter);
            QByteArray &text = node->m_text;
            const bool named = text.size() == 6 + length && text.startsWith("Dialog") &&
                               std::memcmp(text.constData() + 6, digits, size_t(length)) == 0;
            if (!named || !node->m_bold) {
                const QByteArray oldText = m_journal ? text : QByteArray();
                const bool oldBold = node->m_bold;
                text.resize(6 + length);
                char *out = text.data();
                std::memcpy(out, "Dialog", 6);
                std::memcpy(out + 6, digits, size_t(length));
                node->m_bold = true;
                if (m_journal)
                    recordLabel(node, oldText, oldBold, true);
                changed.push_back(node);
            }
        } else if (node->hasKind(DialogNode::RootText) && !node->m_bold) {
            node->m_bold = true;
            if (m_journal)
                recordLabel(node, node->m_text, false);
            changed.push_back(node);
        }
        node->m_ordinal = counter;
    }
    m_cleanUpTo = count();
    m_dialogCount = counter;
    if (!changed.empty())
        notify([&](TreeObserver *o) { o->nodesChanged(changed); });
}

void DialogTree::addObserver(TreeObserver *observer)
{
    m_observers.push_back(observer);
}

void DialogTree::removeObserver(TreeObserver *observer)
{
    std::erase(m_observers, observer);
}

void DialogTree::markDirty(int index)
{
    m_cleanUpTo = std::max(0, std::min(m_cleanUpTo, index));
}

void DialogTree::reindexFrom(int index)
{
    for (int i = std::max(0, index); i < count(); ++i)
        m_order[size_t(i)]->m_index = i;
}

void DialogTree::rebuildOrder()
{
    m_order.clear();
    std::vector<DialogNode *> stack;
    for (int r = m_top->childCount() - 1; r >= 0; --r)
        stack.push_back(m_top->child(r));
    while (!stack.empty()) {
        DialogNode *node = stack.back();
        stack.pop_back();
        node->m_index = int(m_order.size());
        m_order.push_back(node);
        for (int r = node->childCount() - 1; r >= 0; --r)
            stack.push_back(node->child(r));
    }
}
