#include "document/action_reference.h"
#include "document/dialog_numbers.h"
#include "document/node_text.h"
#include "editing/clipboard_commands.h"
#include "persistence/dlg_file.h"
#include "persistence/dlg_writer.h"
#include "persistence/file_commands.h"
#include "platform/user_settings.h"
#include "test_program.h"

#include <QAction>
#include <QClipboard>
#include <QGroupBox>
#include <QGuiApplication>
#include <QTest>

namespace {

DialogNode *dialogNumber(DialogTree &tree, int number)
{
    return const_cast<DialogNode *>(DialogNumbers(tree).find(number));
}

// The dialog each reference of the subtree names, as an offset into the subtree when it lies
// inside, or as the node itself when outside; texts with their numbers left out.
QByteArrayList shapeOf(DialogTree &tree, const DialogNode *top)
{
    const DialogNumbers numbers(tree);
    QByteArrayList shape;
    for (int i = top->absoluteIndex(); i < top->absoluteIndex() + top->subtreeSize(); ++i) {
        const DialogNode *node = tree.nodeAt(i);
        const ActionReference reference = ActionReference::parse(node->text());
        QByteArray line = node->text();
        if (NodeText::isDialog(line))
            line = "Dialog";
        if (reference.kind != ActionReference::None) {
            const DialogNode *target = numbers.find(reference.dialog);
            line =
                target && target->isInSubtreeOf(top)
                    ? "inside " + QByteArray::number(target->absoluteIndex() - top->absoluteIndex())
                    : "outside " + (target ? target->text() : QByteArray("missing"));
        }
        shape.append(line);
    }
    return shape;
}

} // namespace

class TestClipboard : public QObject
{
    Q_OBJECT

private slots:
    // A branch copied and pasted elsewhere is the same branch: references inside it name the
    // copy's dialogs, references outside the same dialogs as before; one undo takes it back.
    void pastedBranchKeepsItsReferences()
    {
        TestProgram p;
        p.start();
        MainWindow &window = p.mainWindow();
        DialogTree &tree = window.document();
        addFlowStory(tree);
        tree.addChild(dialogNumber(tree, 3), NodeText::gotoDialog(4));
        auto *clipboard = window.findChild<ClipboardCommands *>();
        const QByteArray before = DlgWriter::nodeBlock(tree);

        window.selectNode(dialogNumber(tree, 2));
        const QByteArrayList original = shapeOf(tree, window.selectedNode());
        clipboard->copyAction->trigger();
        QVERIFY(QGuiApplication::clipboard()->text().startsWith(u"Dialog2\t2,0,-1,-1,0\n"));
        window.selectNode(tree.nodeAt(dialogNumber(tree, 1)->absoluteIndex() + 2));
        clipboard->pasteAction->trigger();
        QCOMPARE(window.selectedNode()->text(), QByteArray("Dialog2"));
        QCOMPARE(shapeOf(tree, window.selectedNode()), original);
        QCOMPARE(window.undoAction->text(), QStringLiteral("Undo Paste Dialog2"));
        // The original moved on by the copy's five dialogs; the gotos into it followed.
        QCOMPARE(shapeOf(tree, dialogNumber(tree, 7)), original);
        window.undoAction->trigger();
        QCOMPARE(DlgWriter::nodeBlock(tree), before);

        // An action goes after the actions of a text dialog, never a second goto.
        window.selectNode(dialogNumber(tree, 5)->child(3));
        clipboard->copyAction->trigger();
        window.selectNode(dialogNumber(tree, 1));
        clipboard->pasteAction->trigger();
        QCOMPARE(dialogNumber(tree, 1)->child(3)->text(), QByteArray("Goto = 1"));
        clipboard->pasteAction->trigger();
        QCOMPARE(p.prompter.messages().last(),
                 QStringLiteral("There is already a goto defined in this dialog!"));

        const QByteArray edited = DlgWriter::nodeBlock(tree);
        QGuiApplication::clipboard()->setText(QStringLiteral("Dialog1\n   Type = Text\n"));
        clipboard->pasteAction->trigger();
        QCOMPARE(p.prompter.messages().last(),
                 QStringLiteral("Clipboard:2: the indentation is not two blanks per level"));
        window.selectNode(dialogNumber(tree, 1)->child(0));
        clipboard->copyAction->trigger();
        QVERIFY(p.prompter.messages().last().startsWith(u"Only a dialog"));
        QCOMPARE(DlgWriter::nodeBlock(tree), edited);
    }

    // What is not a whole dialog or action is refused with the check's words, changing nothing:
    // a label copied from the in-place editor, a dialog short of its nodes, a misfit inside.
    void refusedPastes_data()
    {
        QTest::addColumn<QString>("listing");
        QTest::addColumn<QString>("problem");
        QTest::newRow("label") << "Dialog7"
                               << "Dialog7: is a dialog without children";
        QTest::newRow("no text") << "Dialog7\n  Type = Text\n  Speaker = Player\n"
                                 << "Dialog7: the third node of a text dialog is its text, "
                                    "Text = ...";
        QTest::newRow("no speaker keyword")
            << "Dialog7\n  Type = Text\n  Narrator\n  Text = Hi\n"
            << "Dialog7: Narrator: the second node of a text dialog is its speaker, Speaker = "
               "Player or Speaker = Entity";
        QTest::newRow("answer without text") << "Dialog7\n  Choice = 1\n"
                                             << "Dialog7: Choice = 1: an answer begins with its "
                                                "text, Text = ...";
        QTest::newRow("empty dialog under an answer")
            << "Dialog7\n  Choice = 1\n    Text = Yes\n    Dialog8\n"
            << "Dialog8: is a dialog without children";
        QTest::newRow("action out of its grammar")
            << "Set Short gold = abc"
            << "Dialog1: Set Short gold = abc: a Short takes a whole number, digits only";
        QTest::newRow("node under an action") << "Call = Open\n  Text = Hi\n"
                                              << "Call = Open: Text = Hi: nothing may stand "
                                                 "under Call = Open";
    }
    void refusedPastes()
    {
        QFETCH(QString, listing);
        QFETCH(QString, problem);
        TestProgram p;
        p.start();
        MainWindow &window = p.mainWindow();
        DialogTree &tree = window.document();
        addFlowStory(tree);
        const QByteArray before = DlgWriter::nodeBlock(tree);
        window.selectNode(dialogNumber(tree, 1));
        QGuiApplication::clipboard()->setText(listing);
        window.findChild<ClipboardCommands *>()->pasteAction->trigger();
        QCOMPARE(p.prompter.messages(),
                 QStringList{QStringLiteral("Only whole dialogs, with everything under them, or "
                                            "actions can be pasted: ") +
                             problem});
        QCOMPARE(DlgWriter::nodeBlock(tree), before);
    }

    // Alt+Down and Alt+Up swap a dialog with its neighbour at its level; gotos follow.
    void dialogsMoveByKeys()
    {
        TestProgram p;
        p.start();
        MainWindow &window = p.mainWindow();
        DialogTree &tree = window.document();
        addFlowStory(tree);
        auto *clipboard = window.findChild<ClipboardCommands *>();
        const QByteArray before = DlgWriter::nodeBlock(tree);
        DialogNode *hello = dialogNumber(tree, 1);
        window.selectNode(hello);
        clipboard->moveUpAction->trigger();
        QCOMPARE(DlgWriter::nodeBlock(tree), before);
        clipboard->moveDownAction->trigger();
        QCOMPARE(hello->text(), QByteArray("Dialog6"));
        QCOMPARE(tree.nodeAt(hello->absoluteIndex() - 1)->text(), QByteArray("Delete = 99"));
        QCOMPARE(dialogNumber(tree, 4)->child(3)->text(), QByteArray("Goto = 6"));
        QCOMPARE(window.selectedNode(), hello);
        window.undoAction->trigger();
        QCOMPARE(DlgWriter::nodeBlock(tree), before);
    }

    // Off, Open removes the actions the game alone uses and says how many; on, it keeps them.
    void openKeepsActionsWhenEnabled()
    {
        TestProgram p;
        p.start();
        MainWindow &window = p.mainWindow();
        QVERIFY(!window.gotoGroup->isEnabled());
        DialogTree stored;
        stored.addRootNode();
        addFlowStory(stored);
        DialogNode *hello = const_cast<DialogNode *>(DialogNumbers(stored).find(1));
        stored.addChild(hello, NodeText::setVariable("Short", "gold", "1"));
        stored.addChild(hello, NodeText::call("Open"));
        const QString file = p.folder.filePath(QStringLiteral("actions.dlg"));
        DlgFile::save(stored, file, {});

        p.prompter.fileAnswers = {file};
        window.openAction->trigger();
        QCOMPARE(window.document().count(), stored.count() - 3);
        QVERIFY(p.prompter.messages().isEmpty());
        QTRY_COMPARE(p.prompter.messages(), QStringList{FileCommands::removedActionsText(3)});

        window.enableActionsAction->trigger();
        QVERIFY(window.gotoGroup->isEnabled() && window.variableGroup->isEnabled());
        QVERIFY(UserSettings::open()->value(QStringLiteral("editing/enableActions")).toBool());
        p.prompter.fileAnswers = {file};
        window.openAction->trigger();
        QCOMPARE(DlgWriter::nodeBlock(window.document()), DlgWriter::nodeBlock(stored));
        QTest::qWait(10);
        QCOMPARE(p.prompter.messages().size(), 1);
    }
};

QTEST_MAIN(TestClipboard)
#include "test_clipboard.moc"
