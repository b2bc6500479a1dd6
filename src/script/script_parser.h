#pragma once

#include "script.h"

#include <QStringView>

// Reads a conversation script into the tree it stands for. Every line is read, and every line
// that does not read is an error with its reason; the tree is only whole when there are none.
// Blank lines are passed over; a line may end in CR LF.
namespace ScriptParser {

Script parse(QStringView text);

} // namespace ScriptParser
