#include "document/action_reference.h"
#include "document/dialog_edits.h"
#include "document/dialog_tree.h"
#include "document/node_text.h"
#include "document/tree_journal.h"
#include "persistence/dlg_writer.h"
#include "platform/app_error.h"

#include <QRandomGenerator>
#include <QTest>
#include <algorithm>
#include <memory>
#include <vector>

namespace {

// Everything an undo must bring back: the stored records, the bold states and DialogCount.
QByteArray snapshot(const DialogTree &tree)
{
    QByteArray state = DlgWriter::nodeBlock(tree);
    for (int i = 0; i < tree.count(); ++i)
        state += tree.nodeAt(i)->isBold() ? 'B' : '-';
    return state + QByteArray::number(tree.DialogCount());
}

// One random edit: the tree's own changes, and the editing operations the commands call.
void randomEdit(DialogTree &tree, QRandomGenerator &random)
{
    const int count = tree.count();
    DialogNode *node = tree.nodeAt(int(random.bounded(count)));
    DialogEdits edits(tree);
    const int number = 1 + int(random.bounded(qMax(tree.DialogCount(), 1)));
    static const QByteArray texts[] = {"Dialog0", "Display", "Text = a",   "Goto = 3",
                                       "",        "Root",    "Choice = 1", "Set Short x = 1"};
    const QByteArray text = texts[random.bounded(int(std::size(texts)))];
    switch (random.bounded(12)) {
    case 0:
        tree.setDialogCount(tree.DialogCount() + 1);
        tree.addSibling(node, text);
        break;
    case 1:
        tree.addChild(node, text);
        break;
    case 2:
        if (count > 1 && node->absoluteIndex() > 0)
            tree.remove(node);
        break;
    case 3:
        tree.moveBefore(node, tree.nodeAt(int(random.bounded(count))));
        tree.renumberDialogs();
        break;
    case 4:
        tree.setText(node, text);
        break;
    case 5:
        tree.setRecord(node, qint32(random.bounded(4)), qint32(random.bounded(3)), -1,
                       qint32(random.bounded(2)) - 1, random.generate());
        break;
    case 6:
        tree.setBold(node, !node->isBold());
        break;
    case 7:
        edits.addTextDialog(random.bounded(2) ? node : nullptr, text, DialogEdits::Speaker::Entity);
        break;
    case 8:
        // Adding renumbers first, so a file's odd numbers can leave the number asked for
        // nowhere: the tree's index error stops the placing half-way, and the step still undoes.
        if (edits.indexOfDialog(number) != -1) {
            try {
                edits.addPlaced(
                    {DialogEdits::Placement::BeforeDialog, nullptr, number}, 2,
                    [&](DialogNode *at) {
                        return edits.addChoiceDialog(at, {{"1", text}, {"2", "b"}}).node;
                    });
            } catch (const AppError &) {
            }
        }
        break;
    case 9: {
        const DialogEdits::Deletion deletion = edits.planDeletion(node);
        if (deletion.refusal.isEmpty())
            edits.remove(deletion);
        break;
    }
    case 10:
        edits.moveDialog(node, tree.nodeAt(int(random.bounded(count))));
        break;
    default:
        if (random.bounded(2))
            edits.addGoto(node, number);
        else
            edits.addDelete(node, number, 1);
        break;
    }
}

// The dialog nodes in the renumbering pass's count: a number names the node at its place.
std::vector<const DialogNode *> numbered(const DialogTree &tree)
{
    std::vector<const DialogNode *> nodes;
    for (int i = 0; i < tree.count(); ++i) {
        if (NodeText::isDialogForNumbering(tree.nodeAt(i)->text()))
            nodes.push_back(tree.nodeAt(i));
    }
    return nodes;
}

} // namespace

class TestJournal : public QObject
{
    Q_OBJECT

private slots:
    // A few thousand mixed edits, one to four to a journal: undone to the start they give the
    // starting state, redone the final one, and so at every step on the way.
    void randomEditsUndoAndRedoExactly()
    {
        QRandomGenerator random(20261208);
        DialogTree tree;
        tree.addRootNode();
        for (int i = 0; i < 20; ++i)
            tree.addChild(i % 3 ? tree.nodeAt(int(random.bounded(tree.count()))) : nullptr,
                          "Dialog1");
        std::vector<std::unique_ptr<TreeJournal>> steps;
        std::vector<QByteArray> states{snapshot(tree)};
        for (int i = 0; i < 3000; ++i) {
            auto journal = std::make_unique<TreeJournal>(tree);
            tree.setJournal(journal.get());
            for (int edits = 1 + int(random.bounded(4)); edits > 0; --edits)
                randomEdit(tree, random);
            journal->followRenumbering();
            tree.setJournal(nullptr);
            steps.push_back(std::move(journal));
            states.push_back(snapshot(tree));
        }
        for (size_t i = steps.size(); i > 0; --i) {
            steps[i - 1]->undo();
            QCOMPARE(snapshot(tree), states[i - 1]);
        }
        for (size_t i = 0; i < steps.size(); ++i)
            steps[i]->redo();
        QCOMPARE(snapshot(tree), states.back());
        // Nodes and positions agree after all the moving about.
        for (int i = 0; i < tree.count(); ++i)
            QCOMPARE(tree.nodeAt(i)->absoluteIndex(), i);
    }

    // Renames in place to numbers other dialogs carry, additions, placements, moves and deletes:
    // after every step each goto names the node it named before, or, when the delete took that
    // node, no dialog at all; undone, the tree is as it was.
    void referencesFollowNodesNotLabels()
    {
        QRandomGenerator random(23);
        DialogTree tree;
        tree.addRootNode();
        DialogEdits edits(tree);
        for (int i = 0; i < 12; ++i)
            edits.addTextDialog(nullptr, "line", DialogEdits::Speaker::Player);
        const QByteArray start = snapshot(tree);
        std::vector<std::unique_ptr<TreeJournal>> steps;
        for (int step = 0; step < 400; ++step) {
            std::vector<const DialogNode *> before = numbered(tree);
            const int count = int(before.size());
            DialogNode *some = const_cast<DialogNode *>(before[random.bounded(count)]);
            const int number = 1 + int(random.bounded(count));
            std::vector<std::pair<DialogNode *, const DialogNode *>> named;
            for (int i = 0; i < tree.count(); ++i) {
                const ActionReference reference = ActionReference::parse(tree.nodeAt(i)->text());
                if (reference.dialog > 0 && reference.dialog <= count)
                    named.push_back({tree.nodeAt(i), before[size_t(reference.dialog) - 1]});
            }
            auto journal = std::make_unique<TreeJournal>(tree);
            tree.setJournal(journal.get());
            switch (random.bounded(6)) {
            case 0:
                tree.setText(some, NodeText::dialog(number));
                break;
            case 1:
                edits.addTextDialog(random.bounded(2) ? some : nullptr, "more",
                                    DialogEdits::Speaker::Entity);
                break;
            case 2:
                edits.addPlaced({DialogEdits::Placement::BeforeDialog, nullptr, number}, 1,
                                [&](DialogNode *at) {
                                    return edits.addTextDialog(at, "placed",
                                                               DialogEdits::Speaker::Player);
                                });
                break;
            case 3:
                edits.moveDialog(some, const_cast<DialogNode *>(before[random.bounded(count)]));
                break;
            case 4:
                if (count > 3) {
                    edits.unname(edits.actionsNamingDialogsIn(some));
                    edits.remove(edits.planDeletion(some));
                }
                break;
            default:
                if (some->childCount() == 3)
                    edits.addGoto(some, number);
            }
            journal->followRenumbering();
            tree.setJournal(nullptr);
            steps.push_back(std::move(journal));
            const std::vector<const DialogNode *> after = numbered(tree);
            for (const auto &[action, target] : named) {
                if (!tree.contains(action))
                    continue;
                const auto place = std::find(after.begin(), after.end(), target);
                const int now = place == after.end() ? 0 : int(place - after.begin()) + 1;
                QCOMPARE(ActionReference::parse(action->text()).dialog, now);
            }
        }
        for (size_t i = steps.size(); i > 0; --i)
            steps[i - 1]->undo();
        QCOMPARE(snapshot(tree), start);
    }

    // A journal keeps what it took out: dropping it with the subtree out frees it, and an empty
    // edit leaves the journal empty.
    void journalOwnsRemovedSubtrees()
    {
        DialogTree tree;
        tree.addRootNode();
        DialogNode *dialog = tree.addChild(nullptr, NodeText::dialog(1));
        tree.addChild(dialog, NodeText::typeText());
        {
            TreeJournal journal(tree);
            tree.setJournal(&journal);
            tree.remove(dialog);
            tree.setJournal(nullptr);
            QCOMPARE(tree.count(), 1);
            QVERIFY(!tree.contains(dialog));
        }
        TreeJournal nothing(tree);
        tree.setJournal(&nothing);
        tree.setText(tree.firstNode(), "Root");
        tree.setJournal(nullptr);
        QVERIFY(nothing.isEmpty());
    }

    // A tree far deeper than the stack could recurse is written and freed.
    void deepTreeIsWrittenAndFreed()
    {
        auto tree = std::make_unique<DialogTree>();
        DialogNode *node = tree->addRootNode();
        for (int level = 0; level < 300000; ++level)
            node = tree->addChild(node, "Text = deep");
        const DlgRecordList records = DlgWriter::records(*tree);
        QCOMPARE(records.back().level, 300000);
        tree.reset();
    }
};

QTEST_APPLESS_MAIN(TestJournal)
#include "test_journal.moc"
