#include "dlg_reader_fuzz.h"

#include "document/dialog_tree.h"
#include "document/tree_listing.h"
#include "persistence/dlg_file.h"
#include "persistence/dlg_reader.h"
#include "persistence/dlg_tree_builder.h"
#include "persistence/dlg_writer.h"
#include "platform/app_error.h"

#include <QBuffer>
#include <cstdlib>

namespace {

DlgReader::Content readAll(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return DlgReader(buffer).read();
}

bool sameRecords(const DlgRecordList &a, const DlgRecordList &b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].level != b[i].level || a[i].image != b[i].image ||
            a[i].selected != b[i].selected || a[i].state != b[i].state ||
            a[i].overlay != b[i].overlay || a[i].data != b[i].data || a[i].text != b[i].text)
            return false;
    }
    return true;
}

} // namespace

int fuzzDlgReader(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    DlgReader::Content content;
    try {
        content = readAll(bytes);
    } catch (const AppError &) {
        return 0;
    }
    for (const DlgRecord &record : content.records) {
        if (record.level > DlgReader::kDeepestLevel)
            std::abort(); // deeper than the editor's view can show
        // Every stored text comes back from its listing form.
        if (TreeListing::parseListedText(TreeListing::listedText(record.text)) != record.text)
            std::abort();
    }
    DialogTree tree;
    DlgTreeBuilder::build(tree, content.records);
    DlgFile::removeActionsOnLoad(tree);
    const DlgRecordList written = DlgWriter::records(tree);
    const QByteArray rewritten = DlgWriter::stream(tree, {});
    if (rewritten != DlgWriter::stream(written, {}))
        std::abort(); // the tree and its records must write the same bytes
    try {
        const DlgReader::Content again = readAll(rewritten);
        if (again.hasNodeBlock != !written.empty() || !sameRecords(again.records, written))
            std::abort();
    } catch (const AppError &) {
        std::abort(); // what the writer writes must read back
    }
    return 0;
}
