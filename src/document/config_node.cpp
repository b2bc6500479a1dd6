#include "config_node.h"

#include "document/dialog_tree.h"
#include "document/node_text.h"

namespace {

// The length of "Config = ".
constexpr int kPrefixLength = 9;

} // namespace

namespace ConfigNode {

std::optional<QByteArray> path(const DialogTree &tree)
{
    const DialogNode *root = tree.firstNode();
    if (!root || !root->firstChild())
        return std::nullopt;
    return root->firstChild()->text().mid(kPrefixLength);
}

DialogNode *set(DialogTree &tree, const QByteArray &path)
{
    DialogNode *root = tree.firstNode();
    if (!root)
        return nullptr;
    while (root->firstChild())
        tree.remove(root->firstChild());
    return tree.addChild(root, NodeText::config(path));
}

} // namespace ConfigNode
