#pragma once

#include "persistence/dlg_file.h"
#include "persistence/dlg_record.h"

#include <QByteArray>

// The lines of a conversation script, one at a time, without indentation and line end. Texts
// are bytes of the code page, as the nodes hold them.
namespace ScriptLine {

// A text dialog: "Dialog3 Entity: Welcome." (label 0 writes no label). An empty text leaves the
// line at the colon: "Dialog3 Player:".
QByteArray textDialog(int label, const QByteArray &speaker, const QByteArray &text);
// A choice dialog: "Dialog2 choice".
QByteArray choiceDialog(int label);
// An answer of a choice dialog: "1. A friend of the castle."
QByteArray answer(int choice, const QByteArray &text);
// A node as stored, for what the other lines cannot say: "| text", or with its record's numbers
// "|image,selected,state,overlay,data| text" when values is given. A text that would not come
// back from the line as itself (empty, beginning or ending with a blank, beginning with a double
// quote, holding a control byte) stands between double quotes with the listing's escapes.
QByteArray node(const QByteArray &text, const DlgRecord *values);
// The line that makes the lines after it the whole tree, without the Root they stand under
// otherwise.
QByteArray wholeTree();
// The last line, for a file that stores a tree view size other than the designed one:
// "@size 640x480".
QByteArray size(DlgFile::ViewSize size);

} // namespace ScriptLine
