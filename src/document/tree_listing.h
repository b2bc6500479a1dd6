#pragma once

#include <QByteArray>
#include <functional>
#include <optional>

class DialogNode;
class DialogTree;

// The tree as text: one line per node in pre-order, two blanks per level, then the node text.
// Lines end with a line feed. Used by the command-line dump and pack, and by tests.
namespace TreeListing {

// Visits every node in pre-order with its level (0 for a top-level node), in one pass over the
// tree, whatever its depth.
void forEach(const DialogTree &tree, const std::function<void(int level, const DialogNode *)> &f);

// The whole listing with the texts as they are; for small trees (tests).
QByteArray outline(const DialogTree &tree);

// Whether text holds a byte that a line of text cannot show as itself: a control byte (00 to 1F,
// 7F) or one of the five bytes the code page leaves undefined.
bool holdsControl(QByteArrayView text);
// A text as a listing line shows it. An ordinary text stands as it is. A text that would not
// read back as itself (it begins with a blank or a double quote, or holds a control byte) is
// shown quoted: between double quotes, with \\ for a backslash, \" for a double quote, \t \n \r
// for tab, line feed and carriage return, and \xHH for any other control byte (00 to 1F, 7F and
// the five bytes the code page leaves undefined).
QByteArray listedText(const QByteArray &text);
// The text between double quotes with the escapes of listedText, whatever it holds.
QByteArray quotedText(const QByteArray &text);
// The text a listing line shows: a quoted text is decoded, any other stands as it is. None
// when a quoted text holds an escape that listedText never writes.
std::optional<QByteArray> parseListedText(const QByteArray &shown);

} // namespace TreeListing
