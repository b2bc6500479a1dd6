#pragma once

#include "dlg_record.h"

#include <QByteArray>
#include <QString>

class QIODevice;

// Stored records as text, the form `talmero-cli dump --stored` prints and `pack` and Paste read:
// one line per record in pre-order, two blanks per level, the text (quoted where it would not
// read back as itself), then a tab and image,selected,state,overlay,data. In UTF-8.
namespace DlgListing {

// One record's line, without the line end.
QByteArray line(const DlgRecord &record);
// Every record's line, each ending in a line feed.
QByteArray write(const DlgRecordList &records);
// Reads a listing in either form of dump (the tab and numbers may be left off; such a line gets
// the image index of its kind, selected 0, state -1, overlay -1, data 0). The first line stands at
// level 0. Throws AppError "source:line: reason" for the first line that does not read.
// A line indented with a tab, or holding a character the code page lacks, is refused.
// A line longer than any record of a file is listed as, and a text longer than the 255 bytes a
// node holds, are refused with their line; the rest of an over-long line is not decoded.
DlgRecordList parse(const QByteArray &utf8, const QString &source);
// As parse, read from device line by line straight into a .dlg node block (empty for an empty
// listing) without keeping the lines or the records, so that only the block is held. A record
// the reader would refuse (a block beyond its length field) is refused with its line too, and
// more than maxBytes of listing as a whole.
QByteArray nodeBlock(QIODevice &device, const QString &source, qint64 maxBytes);

} // namespace DlgListing
