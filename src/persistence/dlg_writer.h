#pragma once

#include "dlg_file.h"
#include "dlg_record.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QStringList>

class DialogTree;

// Writes a .dlg component stream: the signature, the tree control's header and view settings,
// the node block as "Items.Data", and the two end markers. Integers take their shortest form;
// texts are cut to 255 bytes.
class DlgWriter
{
public:
    // The nodes of a tree as records, in pre-order.
    static DlgRecordList records(const DialogTree &tree);
    // The whole stream of a tree, or of a pre-order list of records; no "Items.Data" entry when
    // there are no nodes. A tree nested deeper than the reader takes is refused with the
    // reader's text.
    static QByteArray stream(const DialogTree &tree, DlgFile::ViewSize size);
    static QByteArray stream(const DlgRecordList &records, DlgFile::ViewSize size);
    // The node block: the top-level count, then every record followed by its descendants'.
    static QByteArray nodeBlock(const DialogTree &tree);
    static QByteArray nodeBlock(const DlgRecordList &records);
    // Writes the stream through a temporary file beside fileName (see DlgFile::save). An error
    // that the file cannot be created names its full path; a target that OutputTarget refuses
    // as the output made from inputs is such an error, and nothing is written.
    static void writeFile(const QByteArray &stream, const QString &fileName,
                          const QStringList &inputs = {});
    // As writeFile, for the stream around a node block, without making the stream first: a
    // large block is held once.
    static void writeFile(const QByteArray &block, DlgFile::ViewSize size, const QString &fileName,
                          const QStringList &inputs = {});

private:
    // The header and view settings around a node block (none when it is empty).
    static QByteArray withHeader(const QByteArray &block, DlgFile::ViewSize size);
    // What comes before a node block of that size.
    static QByteArray headerFor(qsizetype blockSize, DlgFile::ViewSize size);
    static void writeParts(const QList<QByteArrayView> &parts, const QString &fileName,
                           const QStringList &inputs);
};
