#include "document/dialog_edits.h"
#include "document/dialog_numbers.h"
#include "document/dialog_tree.h"
#include "document/node_text.h"
#include "document/tree_listing.h"
#include "document/tree_observer.h"
#include "document/variable_value.h"
#include "persistence/branch_copy.h"
#include "persistence/dlg_writer.h"
#include "platform/ansi.h"
#include "platform/app_error.h"
#include "test_documents.h"

#include <QRegularExpression>
#include <QTest>

namespace {

DialogNode *addChoiceDialog(DialogTree &tree, DialogNode *at, const QList<QByteArray> &answers)
{
    tree.setDialogCount(tree.DialogCount() + 1);
    DialogNode *dialog = tree.addSibling(at, NodeText::dialog(tree.DialogCount()));
    tree.setImageIndex(dialog, 2);
    for (int i = 0; i < answers.size(); ++i) {
        DialogNode *choice = tree.addChild(dialog, NodeText::choice(QByteArray::number(i + 1)));
        tree.addChild(choice, NodeText::text(answers[i]));
    }
    return dialog;
}

QByteArray lines(const QList<QByteArray> &list)
{
    QByteArray result;
    for (const QByteArray &line : list)
        result += line + '\n';
    return result;
}

// Records the notifications a view would receive.
class Recorder : public TreeObserver
{
public:
    QStringList events;
    void nodeAboutToBeInserted(DialogNode *parent, int row, int, int) override
    {
        events << QStringLiteral("insert %1 %2")
                      .arg(parent ? Ansi::toUnicode(parent->text()) : QStringLiteral("-"))
                      .arg(row);
    }
    void nodeAdded(DialogNode *node) override
    {
        events << QStringLiteral("added %1").arg(QString::fromLatin1(node->text()));
    }
    void nodeAboutToBeRemoved(DialogNode *node) override
    {
        events << QStringLiteral("remove %1").arg(QString::fromLatin1(node->text()));
    }
    void aboutToReset() override { events << QStringLiteral("reset"); }
};

} // namespace

class TestDocument : public QObject
{
    Q_OBJECT

private slots:
    void rootOnlyTreeCountsNoDialog()
    {
        DialogTree tree;
        tree.setDialogCount(5);
        DialogNode *root = tree.addChild(nullptr, NodeText::root());
        tree.setImageIndex(root, 3);
        tree.renumberDialogs();
        QCOMPARE(tree.DialogCount(), 0);
        QVERIFY(root->isBold());
        QCOMPARE(tree.count(), 1);
        QCOMPARE(root->imageIndex(), 3);
    }

    void addingGivesPositionNumbersAndBold()
    {
        DialogTree tree;
        tree.addChild(nullptr, NodeText::root());
        DialogNode *first = addTextDialog(tree, nullptr, "Hello");
        QCOMPARE(first->text(), QByteArray("Dialog1"));
        QVERIFY(first->isBold());
        QCOMPARE(tree.DialogCount(), 1);
        addTextDialog(tree, nullptr, "Bye", "Entity");
        QCOMPARE(TreeListing::outline(tree),
                 lines({"Root", "Dialog1", "  Type = Text", "  Speaker = Player", "  Text = Hello",
                        "Dialog2", "  Type = Text", "  Speaker = Entity", "  Text = Bye"}));
        QCOMPARE(tree.DialogCount(), 2);
    }

    void placingIntoChoiceRenumbersLaterDialogs()
    {
        DialogTree tree;
        tree.addChild(nullptr, NodeText::root());
        DialogNode *choice = addChoiceDialog(tree, nullptr, {"Yes", "No"});
        addTextDialog(tree, nullptr, "two");
        DialogNode *third = addTextDialog(tree, nullptr, "three");
        tree.addChild(third, NodeText::gotoDialog(2));
        // Into the first choice: the new dialog is the last child of the choice node.
        DialogNode *answer = choice->child(0)->child(0);
        DialogNode *nested = addTextDialog(tree, answer, "nested");
        tree.renumberDialogs();
        QCOMPARE(nested->parent(), choice->child(0));
        QCOMPARE(nested->text(), QByteArray("Dialog2"));
        QCOMPARE(tree.nodeAt(nested->absoluteIndex() + 4)->text(), QByteArray("Choice = 2"));
        QCOMPARE(third->text(), QByteArray("Dialog4"));
        QCOMPARE(third->child(3)->text(), QByteArray("Goto = 2")); // actions keep their numbers
        QCOMPARE(tree.DialogCount(), 4);
        QCOMPARE(nested->level(), 2);
        QCOMPARE(nested->child(0)->level(), 3);
    }

    void deletionAndMoveRenumberOnNextPass()
    {
        DialogTree tree;
        tree.addChild(nullptr, NodeText::root());
        QList<DialogNode *> d;
        for (int i = 0; i < 4; ++i)
            d << addTextDialog(tree, nullptr, QByteArray::number(i + 1));
        tree.remove(d[1]);
        tree.renumberDialogs();
        QCOMPARE(d[2]->text(), QByteArray("Dialog2"));
        QCOMPARE(d[3]->text(), QByteArray("Dialog3"));
        QCOMPARE(tree.DialogCount(), 3);
        QCOMPARE(tree.count(), 13);

        QVERIFY(tree.moveBefore(d[3], d[0]));
        tree.renumberDialogs();
        QCOMPARE(TreeListing::outline(tree).count("Dialog"), 3);
        QCOMPARE(tree.nodeAt(1), d[3]);
        QCOMPARE(d[3]->text(), QByteArray("Dialog1"));
        QCOMPARE(d[0]->text(), QByteArray("Dialog2"));
        QCOMPARE(d[2]->absoluteIndex(), 9);
        for (int i = 0; i < tree.count(); ++i)
            QCOMPARE(tree.nodeAt(i)->absoluteIndex(), i);
    }

    void moveRefusesOwnSubtreeAndNextSibling()
    {
        DialogTree tree;
        tree.addChild(nullptr, NodeText::root());
        DialogNode *choice = addChoiceDialog(tree, nullptr, {"a"});
        DialogNode *nested = addTextDialog(tree, choice->child(0)->child(0), "in");
        DialogNode *after = addTextDialog(tree, nullptr, "after");
        const QByteArray before = TreeListing::outline(tree);
        QVERIFY(!tree.moveBefore(choice, nested));
        QVERIFY(!tree.moveBefore(choice, choice));
        QVERIFY(!tree.moveBefore(choice, after));
        QCOMPARE(TreeListing::outline(tree), before);
        // Dropping a top-level dialog before a nested one changes its level.
        QVERIFY(tree.moveBefore(after, nested));
        QCOMPARE(after->parent(), choice->child(0));
        QCOMPARE(after->row(), 1);
        QCOMPARE(nested->row(), 2);
        QCOMPARE(tree.topLevelCount(), 2);
    }

    void displayBecomesDialogAndEmptyTextDoesNot()
    {
        DialogTree tree;
        tree.addChild(nullptr, NodeText::root());
        addTextDialog(tree, nullptr, "x");
        DialogNode *display = tree.addChild(nullptr, "Display");
        DialogNode *empty = tree.addChild(nullptr, "");
        tree.addChild(nullptr, "D");
        tree.renumberDialogs();
        QCOMPARE(display->text(), QByteArray("Dialog2"));
        QVERIFY(display->isBold());
        QCOMPARE(empty->text(), QByteArray());
        QVERIFY(!empty->isBold());
        QCOMPARE(tree.DialogCount(), 2);
    }

    void textChangesReachTheNextPass()
    {
        DialogTree tree;
        tree.addChild(nullptr, NodeText::root());
        DialogNode *a = addTextDialog(tree, nullptr, "a");
        DialogNode *b = addTextDialog(tree, nullptr, "b");
        tree.setText(b, "Dialog9");
        QCOMPARE(b->text(), QByteArray("Dialog9")); // stays until the next pass
        tree.renumberDialogs();
        QCOMPARE(b->text(), QByteArray("Dialog2"));
        tree.setText(a, "Start");
        tree.renumberDialogs();
        QCOMPARE(b->text(), QByteArray("Dialog1"));
        QVERIFY(a->isBold()); // bold is never cleared
        QCOMPARE(tree.DialogCount(), 1);
    }

    void removeIfTakesWholeSubtrees()
    {
        for (const int copies : {1, 100}) {
            DialogTree tree;
            tree.addChild(nullptr, NodeText::root());
            for (int i = 0; i < copies; ++i) {
                DialogNode *d = addTextDialog(tree, nullptr, "t");
                DialogNode *set = tree.addChild(d, "Set Short a = 1");
                tree.addChild(set, "Call = inner");
                tree.addChild(set, "Dialog7");
                tree.addChild(d, "Goto = 1");
                tree.addChild(d, "Settings");
                tree.addChild(d, "set lower");
            }
            Recorder recorder;
            tree.addObserver(&recorder);
            const int removed = tree.removeIf(
                [](const DialogNode *n) { return NodeText::isRemovedAtLoad(n->text()); });
            QCOMPARE(removed, 2 * copies);
            QCOMPARE(tree.count(), 1 + 6 * copies);
            QVERIFY(!TreeListing::outline(tree).contains("Set"));
            QVERIFY(TreeListing::outline(tree).contains("set lower"));
            for (int i = 0; i < tree.count(); ++i)
                QCOMPARE(tree.nodeAt(i)->absoluteIndex(), i);
            QCOMPARE(recorder.events.contains(QStringLiteral("reset")), copies > 1);
            tree.removeObserver(&recorder);
        }
    }

    // The pass only visits what changed since the last one; after any mix of edits its result
    // must be the one a full pass over the whole tree gives.
    void incrementalPassMatchesFullPass()
    {
        const QList<QByteArray> texts = {"Dialog1", "Text = a", "Display",    "Root",
                                         "",        "D",        "Choice = 1", "Dialog77"};
        quint32 seed = 12345;
        auto next = [&seed](int bound) {
            seed = seed * 1103515245u + 12345u;
            return int((seed >> 8) % quint32(bound));
        };
        DialogTree tree;
        tree.addChild(nullptr, NodeText::root());
        for (int step = 0; step < 3000; ++step) {
            DialogNode *node = tree.nodeAt(next(tree.count()));
            const QByteArray text = texts[next(texts.size())];
            switch (next(6)) {
            case 0:
                tree.addSibling(node, text);
                break;
            case 1:
            case 2:
                tree.addChild(node, text);
                break;
            case 3:
                tree.moveBefore(node, tree.nodeAt(next(tree.count())));
                break;
            case 4:
                if (tree.count() > 20 && node != tree.nodeAt(0))
                    tree.remove(node);
                break;
            default:
                tree.setText(node, text);
                break;
            }
            if (step % 7 != 0)
                continue;
            tree.renumberDialogs();
            int counter = 0;
            for (int i = 0; i < tree.count(); ++i) {
                const DialogNode *n = tree.nodeAt(i);
                QCOMPARE(n->absoluteIndex(), i);
                if (NodeText::isDialogForNumbering(n->text())) {
                    QCOMPARE(n->text(), NodeText::dialog(++counter));
                    QVERIFY(n->isBold());
                } else if (NodeText::isRoot(n->text())) {
                    QVERIFY(n->isBold());
                }
            }
            QCOMPARE(tree.DialogCount(), counter);
        }
    }

    void nodeAtOutsideTheTreeIsAnError()
    {
        DialogTree tree;
        tree.addChild(nullptr, NodeText::root());
        try {
            tree.nodeAt(1);
            QFAIL("no error");
        } catch (const AppError &e) {
            QCOMPARE(e.text(), QStringLiteral("List index out of bounds (1)"));
        }
    }

    void notificationsComeInViewOrder()
    {
        DialogTree tree;
        Recorder recorder;
        tree.addObserver(&recorder);
        DialogNode *root = tree.addChild(nullptr, "Root");
        tree.addChild(root, "Config = x");
        tree.setHoldAdditions(true);
        DialogNode *held = tree.addChild(nullptr, "Held");
        tree.setHoldAdditions(false);
        tree.announceAddition(held);
        tree.remove(root);
        QCOMPARE(recorder.events,
                 QStringList({QStringLiteral("insert - 0"), QStringLiteral("added Root"),
                              QStringLiteral("insert Root 0"), QStringLiteral("added Config = x"),
                              QStringLiteral("insert - 1"), QStringLiteral("added Held"),
                              QStringLiteral("remove Root")}));
    }

    void checktypeTable_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<QByteArray>("type");
        QTest::addColumn<bool>("fits");
        QTest::newRow("char one") << QByteArray("7") << QByteArray("Char") << true;
        QTest::newRow("char two") << QByteArray("77") << QByteArray("Char") << false;
        QTest::newRow("char empty") << QByteArray() << QByteArray("Char") << false;
        QTest::newRow("short empty") << QByteArray() << QByteArray("Short") << true;
        QTest::newRow("short letters") << QByteArray("12a") << QByteArray("Short") << false;
        QTest::newRow("short sign") << QByteArray("-1") << QByteArray("Short") << false;
        QTest::newRow("short big") << QByteArray("99999") << QByteArray("Short") << true;
        QTest::newRow("short point") << QByteArray("1.5") << QByteArray("Short") << false;
        QTest::newRow("float") << QByteArray("3.14") << QByteArray("Float") << true;
        QTest::newRow("float comma") << QByteArray("3,14") << QByteArray("Float") << false;
        QTest::newRow("float two points") << QByteArray("1.5.2") << QByteArray("Float") << false;
        QTest::newRow("float lone point") << QByteArray(".") << QByteArray("Float") << true;
        QTest::newRow("float empty") << QByteArray() << QByteArray("Float") << true;
        QTest::newRow("string") << QByteArray("any -- text") << QByteArray("String") << true;
        QTest::newRow("lower short") << QByteArray("x") << QByteArray("short") << true;
    }

    void checktypeTable()
    {
        QFETCH(QByteArray, value);
        QFETCH(QByteArray, type);
        QFETCH(bool, fits);
        QCOMPARE(valueFitsType(value, type), fits);
    }

    void recognitionRules()
    {
        QVERIFY(NodeText::isDialog("Dialog12"));
        QVERIFY(!NodeText::isDialog("dialog1"));
        QVERIFY(NodeText::isDialogNumber("Dialog12", 12));
        QVERIFY(!NodeText::isDialogNumber("Dialog012", 12));
        QVERIFY(NodeText::isDialogForNumbering("Di"));
        QVERIFY(!NodeText::isDialogForNumbering("D"));
        QVERIFY(NodeText::containsChoice("Text = say Choice = 3"));
        QVERIFY(!NodeText::isChoice("Text = say Choice = 3"));
        QVERIFY(NodeText::isAction("Goto = 3"));
        QVERIFY(!NodeText::isRemovedAtLoad("Goto = 3"));
        QVERIFY(NodeText::isRemovedAtLoad("Settings"));
        QVERIFY(!NodeText::isRoot("Root "));
        QCOMPARE(NodeText::setVariable("Short", "", "1"), QByteArray("Set Short  = 1"));
        QCOMPARE(NodeText::deleteChoice(1, 2), QByteArray("Delete = 1 from 2"));
    }

    void multiLineJoin()
    {
        QCOMPARE(NodeText::joinLines("one\r\ntwo\r\nthree"), QByteArray("one\\ntwo\\nthree"));
        QCOMPARE(NodeText::joinLines("lone\nfeed\rreturn"), QByteArray("lone\nfeed\rreturn"));
        QCOMPARE(NodeText::joinLines("\r\r\n\n"), QByteArray("\r\\n\n"));
    }

    void longTextsStayWhole()
    {
        DialogTree tree;
        tree.addChild(nullptr, NodeText::root());
        DialogNode *d = addTextDialog(tree, nullptr, QByteArray(300, 'x'));
        QCOMPARE(d->child(2)->text().size(), 307);
    }

    void ansiCodec()
    {
        const QByteArray bytes("\x80\x9f\xe9\x81 A", 6);
        const QString text = Ansi::toUnicode(bytes);
        QCOMPARE(text, QString::fromUtf8("\u20ac\u0178\u00e9\u0081 A"));
        QCOMPARE(Ansi::fromUnicode(text), bytes);
        QCOMPARE(Ansi::fromUnicode(QString::fromUtf8("\u4e2d\U0001F600x")), QByteArray("??x"));
        QCOMPARE(Ansi::upperAscii("eR\xe9"), QByteArray("ER\xe9"));
    }

    void errorBoxPeriodRule()
    {
        QCOMPARE(AppError::boxText(QStringLiteral("Stream read error")),
                 QStringLiteral("Stream read error."));
        QCOMPARE(AppError::boxText(QStringLiteral("ends.")), QStringLiteral("ends."));
        QCOMPARE(AppError::boxText(QStringLiteral("(ends)")), QStringLiteral("(ends)"));
        QCOMPARE(AppError::boxText(QStringLiteral("")), QString());
    }

    // What the flow map writes: a dialog right after a box at its level (after a choice's
    // whole block, at the end of an answer's branch), a choice of one answer there, an answer
    // numbered past the highest, and a goto set or changed; the dialogs renumbered.
    void mapEditsPlaceAfterTheBox_data()
    {
        QTest::addColumn<QByteArray>("edit");
        QTest::addColumn<QByteArray>("after");
        const QByteArray start = "Dialog1\n  Type = Text\n  Speaker = Entity\n  Text = A\n"
                                 "Dialog2\n  Choice = 1\n    Text = Yes\n    Dialog3\n"
                                 "  Choice = 4\n    Text = No\n"
                                 "Dialog4\n  Type = Text\n  Goto = 2\n";
        QTest::newRow("text after Dialog1")
            << QByteArray("text 1") << QByteArray(start).replace("Dialog2\n", "NEW\nDialog2\n");
        QTest::newRow("text after a choice: after its block")
            << QByteArray("text 2") << QByteArray(start).replace("Dialog4\n", "NEW\nDialog4\n");
        QTest::newRow("text at the end of an answer's branch")
            << QByteArray("text 3")
            << QByteArray(start).replace("    Dialog3\n", "    Dialog3\n    NEW\n");
        QTest::newRow("choice after the last")
            << QByteArray("choice 4") << start + "CHOICE\n  Choice = 1\n    Text = \n";
        QTest::newRow("answer past the highest")
            << QByteArray("answer 2")
            << QByteArray(start).replace("Dialog4\n", "  Choice = 5\n    Text = \nDialog4\n");
        QTest::newRow("goto changed")
            << QByteArray("goto 4 1") << QByteArray(start).replace("Goto = 2", "Goto = 1");
        QTest::newRow("goto added")
            << QByteArray("goto 1 4")
            << QByteArray(start).replace("Text = A\n", "Text = A\n  Goto = 4\n");
    }
    void mapEditsPlaceAfterTheBox()
    {
        QFETCH(QByteArray, edit);
        QFETCH(QByteArray, after);
        DialogTree tree;
        addOutline(tree, "Dialog1\n  Type = Text\n  Speaker = Entity\n  Text = A\n"
                         "Dialog2\n  Choice = 1\n    Text = Yes\n    Dialog3\n"
                         "  Choice = 4\n    Text = No\n"
                         "Dialog4\n  Type = Text\n  Goto = 2\n");
        DialogEdits edits(tree);
        const QList<QByteArray> words = edit.split(' ');
        auto dialog = [&tree](const QByteArray &number) {
            return tree.nodeAt(DialogEdits(tree).indexOfDialog(number.toInt()));
        };
        DialogNode *made = nullptr;
        if (words[0] == "text")
            made = edits.addTextDialogAfter(dialog(words[1]), "new", DialogEdits::Speaker::Player)
                       .node;
        else if (words[0] == "choice")
            made = edits.addChoiceDialogAfter(dialog(words[1]), {{"1", QByteArray()}}).node;
        else if (words[0] == "answer")
            QVERIFY(edits.addAnswer(dialog(words[1]), QByteArray()).refusal.isEmpty());
        else
            QVERIFY(edits.setGoto(dialog(words[1]), words[2].toInt()).refusal.isEmpty());
        // Every dialog is named by where it stands; the new one carries the add command's texts.
        int position = 0;
        for (int i = 0; i < tree.count(); ++i) {
            if (NodeText::isDialog(tree.nodeAt(i)->text()))
                QCOMPARE(DialogNumbers::numberOf(tree.nodeAt(i)), ++position);
        }
        QString outline = QString::fromLatin1(TreeListing::outline(tree));
        if (made) {
            const QString name = QString::fromLatin1(made->text());
            outline.replace(
                QRegularExpression(QStringLiteral("^( *)") + name +
                                       QStringLiteral("\n\\1  Type = Text\n\\1  "
                                                      "Speaker = Player\n\\1  Text = new\n"),
                                   QRegularExpression::MultilineOption),
                QStringLiteral("\\1NEW\n"));
            outline.replace(name + QStringLiteral("\n  Choice"),
                            QStringLiteral("CHOICE\n  Choice"));
        }
        QString expected = QString::fromLatin1(after);
        for (QString *listing : {&outline, &expected})
            listing->replace(QRegularExpression(QStringLiteral("Dialog\\d+\n")),
                             QStringLiteral("DialogN\n"));
        QCOMPARE(outline, expected);
        // Only a choice dialog takes an answer.
        QVERIFY(!edits.addAnswer(dialog("1"), "x").refusal.isEmpty());
    }

    // No edit nests the tree deeper than the 1,000 levels a file holds: each checks the depth
    // where it inserts and refuses, leaving the tree as it was; the same edit a level higher
    // goes through.
    void editsKeepWithinTheLevelsAFileHolds_data()
    {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<int>("level"); // of the chain's node the edit works at
        QTest::addColumn<bool>("refused");
        for (const char *edit :
             {"paste into answer", "paste beside", "place into choice", "action", "drop"}) {
            const int deepest =
                QByteArray(edit).contains("answer") || QByteArray(edit).contains("choice") ? 999
                                                                                           : 1000;
            QTest::newRow(
                qPrintable(QStringLiteral("%1 at %2").arg(QLatin1String(edit)).arg(deepest)))
                << QString::fromLatin1(edit) << deepest << true;
            QTest::newRow(
                qPrintable(QStringLiteral("%1 at %2").arg(QLatin1String(edit)).arg(deepest - 2)))
                << QString::fromLatin1(edit) << deepest - 2 << false;
        }
    }
    void editsKeepWithinTheLevelsAFileHolds()
    {
        QFETCH(QString, edit);
        QFETCH(int, level);
        QFETCH(bool, refused);
        // A chain of dialogs, each under the one answer of the choice dialog above it, down to
        // a dialog at level 1000; then a text dialog at the top.
        DialogTree tree;
        std::vector<DialogNode *> chain;
        for (int at = 0; at <= DialogTree::kDeepestStoredLevel; ++at) {
            DialogNode *above = chain.empty() ? nullptr : chain.back();
            chain.push_back(tree.addChild(above, at % 2 ? NodeText::choice("1")
                                                        : NodeText::dialog(at / 2 + 1)));
            if (at % 2)
                tree.addChild(chain.back(), NodeText::text("Answer"));
        }
        DialogEdits edits(tree);
        DialogNode *loose = edits.addTextDialog(nullptr, "Loose", DialogEdits::Speaker::Player);
        DialogNode *node = chain[size_t(level)];
        // The chain's dialogs above its end are choice dialogs, which take no action: a text
        // dialog beside one takes it.
        if (edit == u"action" && !refused)
            node = edits.addTextDialog(node, "Beside", DialogEdits::Speaker::Entity);
        const QByteArray before = DlgWriter::nodeBlock(tree);
        DialogEdits::Outcome outcome;
        if (edit.startsWith(u"paste"))
            outcome = BranchCopy::paste(tree, node, BranchCopy::records(tree, loose));
        else if (edit == u"place into choice")
            outcome = edits.addPlaced(
                {DialogEdits::Placement::IntoChoice, node->child(0), 0}, 1, [&](DialogNode *at) {
                    return edits.addTextDialog(at, "Placed", DialogEdits::Speaker::Entity);
                });
        else if (edit == u"action")
            outcome = edits.addGoto(node, 1);
        else
            outcome = edits.moveDialog(loose, node);
        QCOMPARE(outcome.node == nullptr, refused);
        QCOMPARE(outcome.refusal.isEmpty(), !refused);
        if (refused)
            QCOMPARE(DlgWriter::nodeBlock(tree), before);
    }
};

QTEST_APPLESS_MAIN(TestDocument)
#include "test_document.moc"
