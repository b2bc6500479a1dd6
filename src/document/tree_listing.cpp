#include "tree_listing.h"

#include "dialog_tree.h"

namespace TreeListing {

QByteArray outline(const DialogTree &tree)
{
    QByteArray result;
    for (int i = 0; i < tree.count(); ++i) {
        const DialogNode *node = tree.nodeAt(i);
        result += QByteArray(2 * node->level(), ' ') + node->text() + '\n';
    }
    return result;
}

} // namespace TreeListing
