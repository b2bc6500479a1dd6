#include "tree_observer.h"

TreeObserver::~TreeObserver() = default;
void TreeObserver::nodeAboutToBeInserted(DialogNode *, int, int, int) {}
void TreeObserver::nodeInserted(DialogNode *) {}
void TreeObserver::nodeAboutToBeRemoved(DialogNode *) {}
void TreeObserver::nodeRemoved() {}
void TreeObserver::nodeAboutToBeMoved(DialogNode *, DialogNode *, int) {}
void TreeObserver::nodeMoved(DialogNode *) {}
void TreeObserver::nodeChanged(DialogNode *) {}
void TreeObserver::nodesChanged(const std::vector<DialogNode *> &nodes)
{
    for (DialogNode *node : nodes)
        nodeChanged(node);
}
void TreeObserver::aboutToReset() {}
void TreeObserver::reset() {}
void TreeObserver::nodeAdded(DialogNode *) {}
