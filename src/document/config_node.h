#pragma once

#include <QByteArray>
#include <optional>

class DialogNode;
class DialogTree;

// The document's configuration line: the only child of the first node ("Root"), with the text
// "Config = " + the path of the configuration file.
namespace ConfigNode {

// The path of the configuration file: the text of the first node's first child from its tenth
// character on, whatever its first nine characters are. Nothing when there is no such child.
std::optional<QByteArray> path(const DialogTree &tree);

// Removes every child of the first node, with their subtrees, and adds "Config = " + path as its
// only child, which is returned. Nothing happens in a tree without nodes.
DialogNode *set(DialogTree &tree, const QByteArray &path);

} // namespace ConfigNode
