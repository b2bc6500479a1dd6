#include "dlg_writer.h"

#include "dlg_reader.h"
#include "document/dialog_tree.h"
#include "platform/app_error.h"
#include "platform/file_writing.h"
#include "platform/object_names.h"
#include "platform/output_target.h"
#include "platform/safe_save_file.h"

#include <QFileInfo>
#include <QtEndian>
#include <cerrno>
#include <cstring>
#include <limits>

namespace {

// The end of the tree control's properties, then of its child objects.
const QByteArray kEnd("\0\0", 2);

constexpr qsizetype kLongestText = 255;

void putInt32(QByteArray &out, qint32 value)
{
    char b[4];
    qToLittleEndian(value, b);
    out.append(b, 4);
}

void putShortString(QByteArray &out, const QByteArray &text)
{
    out.append(char(text.size()));
    out.append(text);
}

void putInteger(QByteArray &out, qint32 value)
{
    if (value >= -128 && value <= 127) {
        out.append(char(2));
        out.append(char(qint8(value)));
    } else if (value >= -32768 && value <= 32767) {
        char b[2];
        qToLittleEndian(qint16(value), b);
        out.append(char(3));
        out.append(b, 2);
    } else {
        out.append(char(4));
        putInt32(out, value);
    }
}

void putIntegerEntry(QByteArray &out, const QByteArray &name, qint32 value)
{
    putShortString(out, name);
    putInteger(out, value);
}

void putIdentifierEntry(QByteArray &out, const QByteArray &name, const QByteArray &identifier)
{
    putShortString(out, name);
    out.append(char(7));
    putShortString(out, identifier);
}

// One record's fields as the block stores them.
struct RecordView
{
    qint32 image;
    qint32 selected;
    qint32 state;
    qint32 overlay;
    quint32 data;
    qint32 children;
    const QByteArray &text;
};

template <typename At> QByteArray blockOf(size_t count, qint32 topLevel, At recordAt)
{
    qsizetype total = 4;
    for (size_t i = 0; i < count; ++i)
        total += 29 + std::min(recordAt(i).text.size(), kLongestText);
    // The stream stores the block's length as a signed 32-bit number: a longer block would
    // wrap into a length no reader can follow.
    if (total > std::numeric_limits<qint32>::max())
        throw AppError(QStringLiteral("Stream write error"));
    QByteArray out(total, Qt::Uninitialized);
    char *p = out.data();
    const auto put = [&p](qint32 value) {
        qToLittleEndian(value, p);
        p += 4;
    };
    put(topLevel);
    for (size_t i = 0; i < count; ++i) {
        const RecordView r = recordAt(i);
        const qsizetype length = std::min(r.text.size(), kLongestText);
        put(qint32(25 + length));
        put(r.image);
        put(r.selected);
        put(r.state);
        put(r.overlay);
        put(qint32(r.data));
        put(r.children);
        *p++ = char(length);
        std::memcpy(p, r.text.constData(), size_t(length));
        p += length;
    }
    return out;
}

} // namespace

DlgRecordList DlgWriter::records(const DialogTree &tree)
{
    DlgRecordList result;
    result.reserve(size_t(tree.count()));
    std::vector<const DialogNode *> ancestors;
    for (int i = 0; i < tree.count(); ++i) {
        const DialogNode *node = tree.nodeAt(i);
        // Levels from the ancestors seen so far in pre-order, not by walking up from each node.
        while (!ancestors.empty() && ancestors.back() != node->parent())
            ancestors.pop_back();
        DlgRecord record;
        record.level = int(ancestors.size());
        ancestors.push_back(node);
        record.image = node->imageIndex();
        record.selected = node->selectedIndex();
        record.state = node->stateIndex();
        record.overlay = node->overlayIndex();
        record.data = node->data();
        record.text = node->text();
        result.push_back(std::move(record));
    }
    return result;
}

QByteArray DlgWriter::nodeBlock(const DlgRecordList &records)
{
    // Child counts from the levels: a record's children are the following records one level
    // deeper, up to the next record at its own level or above.
    std::vector<qint32> children(records.size(), 0);
    std::vector<size_t> open; // the last record seen on each level
    qint32 topLevel = 0;
    for (size_t i = 0; i < records.size(); ++i) {
        const size_t level = size_t(std::max(records[i].level, 0));
        if (open.size() > level)
            open.resize(level);
        if (open.empty())
            ++topLevel;
        else
            ++children[open.back()];
        open.push_back(i);
    }
    return blockOf(records.size(), topLevel, [&](size_t i) {
        const DlgRecord &r = records[i];
        return RecordView{r.image, r.selected, r.state, r.overlay, r.data, children[i], r.text};
    });
}

QByteArray DlgWriter::nodeBlock(const DialogTree &tree)
{
    // Straight from the nodes: a large tree is not copied into records first.
    return blockOf(size_t(tree.count()), tree.topLevelCount(), [&](size_t i) {
        const DialogNode *n = tree.nodeAt(int(i));
        return RecordView{n->imageIndex(), n->selectedIndex(), n->stateIndex(), n->overlayIndex(),
                          n->data(),       n->childCount(),    n->text()};
    });
}

QByteArray DlgWriter::stream(const DlgRecordList &records, DlgFile::ViewSize size)
{
    return withHeader(records.empty() ? QByteArray() : nodeBlock(records), size);
}

QByteArray DlgWriter::stream(const DialogTree &tree, DlgFile::ViewSize size)
{
    // A file the reader would refuse is not written: the author would take it for saved work.
    std::vector<const DialogNode *> ancestors;
    for (int i = 0; i < tree.count(); ++i) {
        const DialogNode *node = tree.nodeAt(i);
        while (!ancestors.empty() && ancestors.back() != node->parent())
            ancestors.pop_back();
        if (int(ancestors.size()) > DlgReader::kDeepestLevel)
            throw AppError(DlgReader::tooDeepText());
        ancestors.push_back(node);
    }
    return withHeader(tree.count() == 0 ? QByteArray() : nodeBlock(tree), size);
}

QByteArray DlgWriter::headerFor(qsizetype blockSize, DlgFile::ViewSize size)
{
    QByteArray out;
    out.append("TPF0");
    putShortString(out, "TTreeView");
    putShortString(out, ObjectNames::Main::treeView);
    putIntegerEntry(out, "Left", 0);
    putIntegerEntry(out, "Top", 0);
    putIntegerEntry(out, "Width", size.width);
    putIntegerEntry(out, "Height", size.height);
    putIdentifierEntry(out, "Align", "alClient");
    putShortString(out, "AutoExpand");
    out.append(char(9));
    putIdentifierEntry(out, "DragMode", "dmAutomatic");
    putIntegerEntry(out, "Indent", 19);
    putIntegerEntry(out, "TabOrder", 0);
    if (blockSize > 0) {
        putShortString(out, "Items.Data");
        out.append(char(10));
        putInt32(out, qint32(blockSize));
    }
    return out;
}

QByteArray DlgWriter::withHeader(const QByteArray &block, DlgFile::ViewSize size)
{
    QByteArray out = headerFor(block.size(), size);
    out.reserve(out.size() + block.size() + kEnd.size());
    return out + block + kEnd;
}

void DlgWriter::writeFile(const QByteArray &stream, const QString &fileName,
                          const QStringList &inputs)
{
    writeParts({stream}, fileName, inputs);
}

void DlgWriter::writeFile(const QByteArray &block, DlgFile::ViewSize size, const QString &fileName,
                          const QStringList &inputs)
{
    writeParts({headerFor(block.size(), size), block, kEnd}, fileName, inputs);
}

void DlgWriter::writeParts(const QList<QByteArrayView> &parts, const QString &fileName,
                           const QStringList &inputs)
{
    if (const QString why = OutputTarget::refusal(fileName, inputs); !why.isEmpty())
        throw AppError::cannotCreate(QFileInfo(fileName).absoluteFilePath(), why);
    SafeSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw AppError::cannotCreate(QFileInfo(fileName).absoluteFilePath(), file.errorString());
    errno = 0;
    bool written = true;
    for (const QByteArrayView part : parts)
        written = written && file.write(part.data(), part.size()) == part.size();
    if (!written || !file.commit()) {
        // The new file could not be written whole (a full disk, a quota): the previous file is
        // still there, and the author learns why.
        const QString reason = FileWriting::reason(file, errno);
        if (reason.isEmpty() || reason == QStringLiteral("Unknown error"))
            throw AppError(QStringLiteral("Stream write error"));
        throw AppError::cannotCreate(QFileInfo(fileName).absoluteFilePath(), reason);
    }
}
