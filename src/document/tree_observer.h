#pragma once

#include <vector>

class DialogNode;

// Told of every change of a DialogTree, in the order a Qt item model needs to hear of them.
// A parent of none stands for the top level.
class TreeObserver
{
public:
    virtual ~TreeObserver();

    // count nodes (a node with its subtree) are about to stand as parent's child at row, and
    // from position on in pre-order.
    virtual void nodeAboutToBeInserted(DialogNode *parent, int row, int position, int count);
    virtual void nodeInserted(DialogNode *node);
    virtual void nodeAboutToBeRemoved(DialogNode *node);
    virtual void nodeRemoved();
    // newRow counts the rows of newParent before the node leaves its old place.
    virtual void nodeAboutToBeMoved(DialogNode *node, DialogNode *newParent, int newRow);
    virtual void nodeMoved(DialogNode *node);
    virtual void nodeChanged(DialogNode *node);
    // The nodes one renumbering pass renamed or made bold, in pre-order; by default one
    // nodeChanged each.
    virtual void nodesChanged(const std::vector<DialogNode *> &nodes);
    virtual void aboutToReset();
    virtual void reset();
    // The tree's node-added notification: once per created node, after ordinary insertions at
    // once, while a file is read after the node's own subtree.
    virtual void nodeAdded(DialogNode *node);
};
