#pragma once

#include "document/dialog_tree.h"

#include "dlg_file.h"
#include "dlg_record.h"

#include <QString>

class QIODevice;
class StreamSource;

// Reads a .dlg component stream: the signature, the optional flags byte, the class and object
// names, the tree control's property entries and the node block of "Items.Data". The records are
// returned as stored; turning them into a tree (renumbering, clean-up) is the caller's business.
// Every failure throws AppError with the text the user sees; nothing is read outside the device
// or the node block, whatever the bytes.
class DlgReader
{
public:
    struct Content
    {
        bool hasNodeBlock = false; // an "Items.Data" entry was read
        DlgRecordList records;     // the last node block read, in pre-order
        // The tree control's size as stored ("Width", "Height"); the designed size without them.
        DlgFile::ViewSize viewSize;
    };

    // The deepest level (0 for a top-level node) that a file may give a node. It keeps every
    // program that walks these files, recursive or not, far inside its stack, and a node's
    // indentation on screen; no real conversation comes near.
    static constexpr int kDeepestLevel = DialogTree::kDeepestStoredLevel;
    // The error of a node block that nests deeper.
    static QString tooDeepText();

    explicit DlgReader(QIODevice &device);

    Content read();
    // Opens the file for reading (others may read it meanwhile) and reads it. An error that the
    // file cannot be opened names its full path.
    static Content readFile(const QString &fileName);
    // The records of a node block: the top-level count, then the records depth-first.
    static DlgRecordList parseNodeBlock(const QByteArray &block);

private:
    void readObjectName();
    void readProperty(const QByteArray &name);
    qint32 readInteger(quint8 tag);
    void skipValue(quint8 tag);

    QIODevice &m_device;
    StreamSource *m_source = nullptr;
    Content m_content;
};
