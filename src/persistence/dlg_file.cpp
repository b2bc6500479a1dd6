#include "dlg_file.h"

#include "dlg_reader.h"
#include "dlg_tree_builder.h"
#include "dlg_writer.h"
#include "document/dialog_tree.h"
#include "document/node_text.h"

namespace DlgFile {

void save(const DialogTree &tree, const QString &fileName, ViewSize size)
{
    DlgWriter::writeFile(DlgWriter::stream(tree, size), fileName);
}

void load(DialogTree &tree, const QString &fileName)
{
    read(tree, fileName);
    removeActionsOnLoad(tree);
}

namespace {

void take(DialogTree &tree, const DlgReader::Content &content)
{
    if (content.hasNodeBlock) {
        DialogTree fresh;
        // Only renumbering passes set the count; a block without nodes runs none.
        fresh.setDialogCount(tree.DialogCount());
        DlgTreeBuilder::build(fresh, content.records);
        tree.swapContents(fresh);
    }
}

} // namespace

void read(DialogTree &tree, const QString &fileName)
{
    take(tree, DlgReader::readFile(fileName));
}

void readAsStored(DialogTree &tree, const QString &fileName)
{
    const DlgReader::Content content = DlgReader::readFile(fileName);
    take(tree, content);
    if (!content.hasNodeBlock)
        return;
    // The tree holds the records in their order, one node each.
    for (size_t i = 0; i < content.records.size(); ++i) {
        DialogNode *node = tree.nodeAt(int(i));
        if (node->text() != content.records[i].text)
            tree.setText(node, content.records[i].text);
    }
}

void read(DialogTree &tree, QIODevice &device)
{
    take(tree, DlgReader(device).read());
}

int removeActionsOnLoad(DialogTree &tree)
{
    // One sweep gives what restarting from the first node after every removal gives: a removed
    // node takes its whole subtree along, and nothing else changes.
    return tree.removeIf(
        [](const DialogNode *node) { return NodeText::isRemovedAtLoad(node->text()); });
}

} // namespace DlgFile
