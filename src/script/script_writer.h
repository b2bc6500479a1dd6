#pragma once

#include "script.h"

// Writes the script of a tree given as its records in pre-order (a file as stored, or the
// document through DlgWriter::records). Every tree has one, and the parser reads it back into the
// same records: a node that no compact line can say (a kind the grammar does not know, a place
// its kind may not stand, a text with a control byte, record numbers other than its kind's) is
// written as a node line, "| text", at its place. A tree view size other than the designed one
// goes on a last line of its own.
namespace ScriptWriter {

Script write(const DlgRecordList &records, DlgFile::ViewSize size = {});

} // namespace ScriptWriter
