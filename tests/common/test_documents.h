#pragma once

#include <QByteArray>

class DialogNode;
class DialogTree;

// A text dialog added as the add command adds one, after at's last sibling (none: at the end of
// the top level); speaker "Player" or "Entity".
DialogNode *addTextDialog(DialogTree &tree, DialogNode *at, const QByteArray &text,
                          const QByteArray &speaker = "Player");

// Builds a tree from an outline (two blanks per level, one node a line) through the ordinary
// node creation, so dialogs are renumbered as they come.
void addOutline(DialogTree &tree, const QByteArray &outline);

// A conversation with every kind of arrow of the flow map, each dialog's text naming it:
// Dialog1 "Hello" is followed by Dialog2, a choice of three answers: "Yes" holds Dialog3 and
// Dialog4, a choice whose "Again" holds Dialog5 (Goto = 1) and whose "Stop" holds nothing;
// "No" holds nothing; "Maybe" holds Dialog6 (Delete = 99, a dialog that does not exist).
// Dialog7 (Goto = 42, missing) and Dialog8 follow at the top level.
void addFlowStory(DialogTree &tree);
