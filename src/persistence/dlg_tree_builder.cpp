#include "dlg_tree_builder.h"

#include "document/dialog_tree.h"

void DlgTreeBuilder::build(DialogTree &tree, const DlgRecordList &records)
{
    tree.setHoldAdditions(true);
    std::vector<DialogNode *> open; // the node being filled on each level
    for (const DlgRecord &record : records) {
        while (open.size() > size_t(std::max(record.level, 0))) {
            tree.announceAddition(open.back());
            open.pop_back();
        }
        // Created with an empty text and given its stored text right after, as the record is
        // read into the new node.
        DialogNode *node = tree.addChild(open.empty() ? nullptr : open.back(), QByteArray());
        tree.setText(node, record.text);
        tree.setRecord(node, record.image, record.selected, record.state, record.overlay,
                       record.data);
        open.push_back(node);
    }
    while (!open.empty()) {
        tree.announceAddition(open.back());
        open.pop_back();
    }
    tree.setHoldAdditions(false);
}
