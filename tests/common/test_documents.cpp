#include "test_documents.h"

#include "document/dialog_edits.h"
#include "document/dialog_tree.h"
#include "document/node_text.h"

#include <QList>
#include <vector>

DialogNode *addTextDialog(DialogTree &tree, DialogNode *at, const QByteArray &text,
                          const QByteArray &speaker)
{
    return DialogEdits(tree).addTextDialog(at, text,
                                           speaker == "Entity" ? DialogEdits::Speaker::Entity
                                                               : DialogEdits::Speaker::Player);
}

void addOutline(DialogTree &tree, const QByteArray &outline)
{
    std::vector<DialogNode *> parents;
    for (const QByteArray &line : outline.split('\n')) {
        if (line.isEmpty())
            continue;
        int blanks = 0;
        while (line[blanks] == ' ')
            ++blanks;
        const size_t level = size_t(blanks / 2);
        parents.resize(level);
        parents.push_back(tree.addChild(level ? parents[level - 1] : nullptr, line.mid(blanks)));
    }
}

namespace {

DialogNode *addChoices(DialogTree &tree, DialogNode *at, const QList<QByteArray> &answers)
{
    QList<DialogEdits::Answer> rows;
    for (const QByteArray &answer : answers)
        rows.append({QByteArray::number(rows.size() + 1), answer});
    return DialogEdits(tree).addChoiceDialog(at, rows).node;
}

} // namespace

void addFlowStory(DialogTree &tree)
{
    addTextDialog(tree, nullptr, "Hello", "Entity");
    DialogNode *choice = addChoices(tree, nullptr, {"Yes", "No", "Maybe"});
    addTextDialog(tree, choice->child(0)->child(0), "Fine");
    DialogNode *again = addChoices(tree, choice->child(0)->child(0), {"Again", "Stop"});
    tree.addChild(addTextDialog(tree, again->child(0)->child(0), "Round"), NodeText::gotoDialog(1));
    tree.addChild(addTextDialog(tree, choice->child(2)->child(0), "Perhaps"),
                  NodeText::deleteDialog(99));
    tree.addChild(addTextDialog(tree, nullptr, "Lost"), NodeText::gotoDialog(42));
    addTextDialog(tree, nullptr, "Bye");
    tree.renumberDialogs();
}
