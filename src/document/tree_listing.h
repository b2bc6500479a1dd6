#pragma once

#include <QByteArray>

class DialogTree;

// The tree as text: one line per node in pre-order, two blanks per level, then the node text.
// Lines end with a line feed. Used by the command-line dump and by tests.
namespace TreeListing {

QByteArray outline(const DialogTree &tree);

} // namespace TreeListing
