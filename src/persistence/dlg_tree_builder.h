#pragma once

#include "dlg_record.h"

class DialogTree;

// Rebuilds a tree from stored records through the tree's ordinary node creation, so the
// renumbering pass runs before each node is created, exactly as it does while a file is read
// node by node. The node-added notification is held back and raised once per node after the
// node's own subtree is complete: children before their parent.
class DlgTreeBuilder
{
public:
    // tree should be empty; the records are appended to its top level.
    static void build(DialogTree &tree, const DlgRecordList &records);
};
