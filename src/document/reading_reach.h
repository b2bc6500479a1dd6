#pragma once

#include "dialog_check.h"

#include <vector>

class DialogTree;

// What no reading reaches, found from the shape of the conversation without playing it: the
// dialogs and their ways on as a graph (a text dialog to its goto or the dialog after it, each
// answer to the dialogs under it; a dialog or a choice that a delete action may remove also to
// the dialog after it), walked a few times, linear in the size of the tree. State is not
// enumerated: a way counts when some answers lead along it, whatever was set. Finds
// - a dialog no reading from Dialog1 reaches, whatever the answers;
// - an answer that every way to its choice dialog has removed already;
// - a loop that a reading can enter and never leave;
// - a choice dialog that a reading can reach with all its answers removed.
// A broken reference is taken as if its action were not there: the check reports it already,
// and what lies behind it is judged as if it were mended.
namespace ReadingReach {

std::vector<CheckFinding> check(const DialogTree &tree);

} // namespace ReadingReach
