#pragma once

#include "dlg_record.h"
#include "document/dialog_edits.h"

#include <QString>

class DialogNode;
class DialogTree;

// Copying parts of a tree as stored records, and putting them back: what Cut, Copy, Paste and
// Duplicate carry. A dialog is copied with everything under it; an action node alone may be
// copied too.
namespace BranchCopy {

// Empty when node may be copied; otherwise what the author is told.
QString refusal(const DialogNode *node);
// node and its subtree in pre-order, node at level 0.
DlgRecordList records(const DialogTree &tree, const DialogNode *node);
// Puts copied records into tree as Paste does for the selected node:
// - dialogs go right after the dialog that holds selected, at its level, or, with an answer
//   ("Choice = N") selected, as the last dialogs under that answer; with nothing that holds
//   them selected, at the end of the top level;
// - actions go after the actions of the text dialog that holds selected, refused as the action
//   commands refuse (no dialog, a choice dialog, a second goto).
// A goto or delete action among the records that named a dialog among them names that
// dialog's copy; one that named another dialog names the dialog that carried its number before
// the paste. Outcome: the first node put in, or the refusal.
DialogEdits::Outcome paste(DialogTree &tree, DialogNode *selected, const DlgRecordList &records);

} // namespace BranchCopy
