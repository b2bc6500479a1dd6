#pragma once

#include "dialog_node.h"

#include <QByteArray>
#include <functional>
#include <memory>
#include <vector>

class TreeJournal;
class TreeObserver;

// The dialog tree: an ordered tree of nodes whose top level holds "Root" and the top-level
// dialogs. Every node creation first runs the renumbering pass (renumberDialogs), which names each
// node whose text begins with "Di" "Dialog" + its 1-based position among them in pre-order,
// shows those nodes and "Root" bold, and sets DialogCount.
//
// The pass is incremental: the tree remembers how long a prefix of the pre-order is already as
// a pass would leave it, and a pass only visits the nodes after that prefix. Appending at the
// end (adding a dialog, reading a file) therefore costs the same on a large tree as on a small
// one, while the result is the one a full pass gives.
class DialogTree
{
public:
    // The deepest level a .dlg file holds; a deeper tree is neither read nor written.
    static constexpr int kDeepestStoredLevel = 1000;

    DialogTree();
    ~DialogTree();
    DialogTree(const DialogTree &) = delete;
    DialogTree &operator=(const DialogTree &) = delete;

    int count() const { return int(m_order.size()); }
    // The node at a 0-based pre-order position; an index outside the tree throws AppError.
    DialogNode *nodeAt(int index) const;
    DialogNode *firstNode() const { return m_order.empty() ? nullptr : m_order.front(); }
    int topLevelCount() const { return m_top->childCount(); }
    DialogNode *topLevel(int row) const { return m_top->child(row); }
    // The last node of the top level; none for an empty tree.
    DialogNode *lastTopLevel() const;
    // Whether node stands in this tree (a node taken out by an edit that can be undone does not).
    bool contains(const DialogNode *node) const;

    // Creates a node as the last child of node's parent; at the end of the top level when node
    // is a top-level node or none.
    DialogNode *addSibling(DialogNode *node, const QByteArray &text);
    // The one node of a new document: "Root" at the end of the top level, bold, image index 3.
    DialogNode *addRootNode();
    // Creates a node as the last child of parent (none: the top level).
    DialogNode *addChild(DialogNode *parent, const QByteArray &text);
    // Moves node with its subtree to stand immediately before target, as target's sibling.
    // Leaves the tree unchanged when target lies in node's own subtree, and node where it is
    // when target is its next sibling. Returns whether anything moved.
    bool moveBefore(DialogNode *node, DialogNode *target);
    // Moves node with its subtree to be parent's child at row (none: the top level), counted
    // as the rows stand after the move. parent must not lie in node's subtree.
    void move(DialogNode *node, DialogNode *parent, int row);
    // Removes node and its subtree.
    void remove(DialogNode *node);
    // Removes every node that matches, with its subtree; nodes inside a removed subtree are not
    // tested. Returns the number of subtrees removed.
    int removeIf(const std::function<bool(const DialogNode *)> &matches);
    // Removes every node.
    void clear();
    // Exchanges the whole content with other; this tree's observers see a reset.
    void swapContents(DialogTree &other);

    void setText(DialogNode *node, const QByteArray &text);
    void setBold(DialogNode *node, bool bold);
    void setImageIndex(DialogNode *node, qint32 image);
    // The fields a stored record carries besides the text.
    void setRecord(DialogNode *node, qint32 image, qint32 selected, qint32 state, qint32 overlay,
                   quint32 data);

    // The renumbering pass.
    void renumberDialogs();
    int DialogCount() const { return m_dialogCount; }
    void setDialogCount(int count) { m_dialogCount = count; }

    void addObserver(TreeObserver *observer);
    void removeObserver(TreeObserver *observer);
    // While held, creating a node raises no node-added notification; the reader announces each
    // node itself once its subtree is complete.
    void setHoldAdditions(bool hold) { m_holdAdditions = hold; }
    void announceAddition(DialogNode *node);

    // While set, every change is written into journal, which can then take it back; none stops
    // the writing. The journal notes DialogCount on both ends.
    void setJournal(TreeJournal *journal);
    // The edit under way has written every goto and delete action as it wants them: the journal
    // leaves them as they are instead of making them follow the renumbering.
    void settleReferences();

private:
    friend class TreeJournal;
    // Takes node with its subtree out of the tree and hands it over.
    std::unique_ptr<DialogNode> detach(DialogNode *node);
    // Puts a subtree taken out before back in as the child of parent at row.
    void attach(std::unique_ptr<DialogNode> owned, DialogNode *parent, int row);
    // Moves node with its subtree to be the child of parent at row (its row after the move);
    // parent must not lie in node's subtree.
    void moveTo(DialogNode *node, DialogNode *parent, int row);
    void
    restoreLabels(const std::vector<std::pair<DialogNode *, std::pair<QByteArray, bool>>> &labels);
    void restoreValues(DialogNode *node, qint32 image, qint32 selected, qint32 state,
                       qint32 overlay, quint32 data);
    void recordLabel(DialogNode *node, const QByteArray &oldText, bool oldBold,
                     bool numbering = false);
    void recordValues(DialogNode *node, qint32 image, qint32 selected, qint32 state, qint32 overlay,
                      quint32 data);

    DialogNode *createNode(DialogNode *parent, const QByteArray &text);
    void markDirty(int index);
    void reindexFrom(int index);
    void rebuildOrder();
    DialogNode *top(DialogNode *node) const { return node ? node : m_top.get(); }
    template <typename F> void notify(F &&f);

    std::unique_ptr<DialogNode> m_top; // invisible parent of the top-level nodes
    std::vector<DialogNode *> m_order; // every node in pre-order
    int m_cleanUpTo = 0;
    int m_dialogCount = 0;
    bool m_holdAdditions = false;
    TreeJournal *m_journal = nullptr;
    std::vector<TreeObserver *> m_observers;
};
