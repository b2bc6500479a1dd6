#pragma once

#include <QByteArray>

class DialogNode;
class DialogTree;

// A text dialog added as the add command adds one, after at's last sibling (none: at the end of
// the top level); speaker "Player" or "Entity".
DialogNode *addTextDialog(DialogTree &tree, DialogNode *at, const QByteArray &text,
                          const QByteArray &speaker = "Player");
