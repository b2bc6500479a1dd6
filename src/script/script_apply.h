#pragma once

#include "script.h"

#include <vector>

class DialogTree;

// Makes a dialog tree what a script read without errors says, changing only what differs from
// the script of the tree as it stands: the lines are matched with that script's (equal lines,
// then changed lines of the same kind in the same place), and the nodes of a matched line keep
// their identity. Dialogs are numbered by their place once nodes came, went or moved; every goto
// and delete action names the dialog whose line carried its number: the dialog that carried the
// number before, while its line stays, else the first line that carries it now. An action whose
// dialog's line went is an error at its line. A number no line ever carried stays as written.
// All changes go through the tree, so that an open step of the undo history takes them as one.
namespace ScriptApply {

// The errors that stop it; the tree is untouched then.
std::vector<ScriptError> apply(DialogTree &tree, const Script &script);

} // namespace ScriptApply
