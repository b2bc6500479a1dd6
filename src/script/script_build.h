#pragma once

#include "script.h"

// The nodes a script read without errors stands for, as a file stores them. In a script whose
// dialog lines all carry their labels the labels stay as written. When a dialog line carries
// none, every dialog is numbered by its place, as the editor numbers dialogs, and every goto and
// delete action names the dialog whose line carried the number it named (the first such line);
// a number that no line carries stays as written. A text longer than the 255 bytes a node holds
// is an error at its line.
namespace ScriptBuild {

DlgRecordList storedNodes(Script &script);

} // namespace ScriptBuild
