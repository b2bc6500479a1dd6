#include "document/node_text.h"
#include "editing/drop_command.h"
#include "editing/placement_window.h"
#include "flowmap/flow_map_commands.h"
#include "flowmap/flow_map_window.h"
#include "persistence/dlg_writer.h"
#include "program/talmero_app.h"
#include "review/review_commands.h"
#include "test_program.h"
#include "windows/dialog_tree_model.h"
#include "windows/dialog_tree_view.h"
#include "windows/main_window.h"
#include "windows/undo_history.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <QUndoStack>
#include <functional>

namespace {

using Edit = std::function<void(TestProgram &)>;

DialogTree &treeOf(TestProgram &p)
{
    return p.mainWindow().document();
}

// What the saved file holds, and what it does not: bold states and DialogCount.
QByteArray snapshot(TestProgram &p)
{
    const DialogTree &tree = treeOf(p);
    QByteArray state = DlgWriter::nodeBlock(tree);
    for (int i = 0; i < tree.count(); ++i)
        state += tree.nodeAt(i)->isBold() ? 'B' : '-';
    return state + QByteArray::number(tree.DialogCount());
}

DialogNode *find(TestProgram &p, const QByteArray &text)
{
    DialogTree &tree = treeOf(p);
    for (int i = 0; i < tree.count(); ++i) {
        if (tree.nodeAt(i)->text() == text)
            return tree.nodeAt(i);
    }
    qFatal("no node %s", text.constData());
}

// Root with a configuration; Dialog1 a text dialog with a goto; Dialog2 a choice dialog whose
// first choice holds Dialog3; Dialog4 a text dialog.
void buildStory(TestProgram &p)
{
    DialogTree &tree = treeOf(p);
    tree.addChild(tree.firstNode(), NodeText::config("c.ini"));
    DialogNode *first = addTextDialog(tree, nullptr, "Hello");
    tree.addChild(first, NodeText::gotoDialog(4));
    tree.setDialogCount(tree.DialogCount() + 1);
    DialogNode *choices = tree.addSibling(first, NodeText::dialog(tree.DialogCount()));
    for (const char *answer : {"Yes", "No"}) {
        DialogNode *choice =
            tree.addChild(choices, NodeText::choice(QByteArray::number(choices->childCount() + 1)));
        tree.addChild(choice, NodeText::text(answer));
    }
    addTextDialog(tree, choices->child(0), "Fine", "Entity");
    addTextDialog(tree, nullptr, "Bye");
    tree.renumberDialogs();
}

// The commands that write in the flow map, the map opened.
FlowMapCommands &mapCommands(TestProgram &p)
{
    auto *review = p.mainWindow().findChild<ReviewCommands *>();
    review->flowMapAction->trigger();
    return *review->flowMapWindow()->findChild<FlowMapCommands *>();
}

void place(TestProgram &p, QRadioButton *PlacementWindow::*mode,
           const std::function<void(PlacementWindow &)> &set)
{
    PlacementWindow &window = p.app->placementWindow();
    p.mainWindow().PlaceMode = QStringLiteral("dialog");
    window.fillChoiceList();
    window.dialogNumberField->setMaximum(treeOf(p).DialogCount());
    (window.*mode)->setChecked(true);
    set(window);
    window.confirmPlacement();
}

} // namespace

class TestUndo : public QObject
{
    Q_OBJECT

private slots:
    // Every kind of command is one step: undone, the document is exactly as before (the bytes
    // a save writes, bold states, DialogCount); redone, exactly as after.
    void everyCommandIsOneStep_data()
    {
        QTest::addColumn<Edit>("edit");
        QTest::addColumn<QString>("undoText");

        QTest::newRow("add dialog") << Edit([](TestProgram &p) {
            p.mainWindow().dialogTextEdit->setPlainText(QStringLiteral("Two\nlines"));
            p.mainWindow().addAtEndCheck->setChecked(true);
            p.mainWindow().addDialogButton->click();
        }) << "Undo Add dialog";
        QTest::newRow("add decision") << Edit([](TestProgram &p) {
            p.mainWindow().answerTextField->setText(QStringLiteral("Left"));
            p.mainWindow().addAnswerButton->click();
            p.mainWindow().addAtEndCheck->setChecked(true);
            p.mainWindow().addDecisionButton->click();
        }) << "Undo Add decision";
        QTest::newRow("place before a number") << Edit([](TestProgram &p) {
            p.mainWindow().dialogTextEdit->setPlainText(QStringLiteral("Early"));
            place(p, &PlacementWindow::beforeDialogRadio,
                  [](PlacementWindow &w) { w.dialogNumberField->setValue(2); });
        }) << "Undo Add dialog";
        QTest::newRow("place into a choice") << Edit([](TestProgram &p) {
            p.mainWindow().dialogTextEdit->setPlainText(QStringLiteral("Nested"));
            place(p, &PlacementWindow::intoChoiceRadio,
                  [](PlacementWindow &w) { w.choiceList->selectRow(1); });
        }) << "Undo Add dialog";
        QTest::newRow("update") << Edit([](TestProgram &p) {
            p.mainWindow().selectNode(find(p, "Text = Bye"));
            p.mainWindow().nodeTextField->setText(QStringLiteral("Text = Later"));
            p.mainWindow().updateSelectedButton->click();
        }) << "Undo Update Text = Later";
        QTest::newRow("rename making a dialog") << Edit([](TestProgram &p) {
            DialogTreeModel *model = p.mainWindow().treeView->dialogModel();
            model->setData(model->indexOf(find(p, "Text = Fine")), QStringLiteral("Display"));
        }) << "Undo Rename to Display";
        QTest::newRow("delete dialog") << Edit([](TestProgram &p) {
            p.mainWindow().selectNode(find(p, "Dialog1"));
            p.prompter.confirmAnswers = {true};
            p.mainWindow().deleteSelectedButton->click();
        }) << "Undo Delete Dialog1";
        QTest::newRow("delete choice") << Edit([](TestProgram &p) {
            p.mainWindow().selectNode(find(p, "Choice = 2"));
            p.prompter.confirmAnswers = {true};
            p.mainWindow().deleteSelectedButton->click();
        }) << "Undo Delete Dialog2";
        QTest::newRow("delete action") << Edit([](TestProgram &p) {
            p.mainWindow().selectNode(find(p, "Goto = 4"));
            p.mainWindow().deleteSelectedButton->click();
        }) << "Undo Delete Goto = 4";
        QTest::newRow("drop") << Edit([](TestProgram &p) {
            p.mainWindow().selectNode(find(p, "Dialog4"));
            p.mainWindow().findChild<DropCommand *>()->dropDialog(find(p, "Dialog1"));
        }) << "Undo Move Dialog4";
        QTest::newRow("goto") << Edit([](TestProgram &p) {
            p.mainWindow().selectNode(find(p, "Dialog4"));
            p.mainWindow().gotoNumberField->setValue(2);
            emit p.mainWindow().addGotoButton->clicked();
        }) << "Undo Add Goto = 2";
        QTest::newRow("map: text in place") << Edit([](TestProgram &p) {
            mapCommands(p).changeText(find(p, "Dialog4"), QStringLiteral("Two\nlines"));
        }) << "Undo Update Text = Bye";
        QTest::newRow("map: answer in place") << Edit([](TestProgram &p) {
            mapCommands(p).changeText(find(p, "Choice = 2"), QStringLiteral("Never"));
        }) << "Undo Update Text = No";
        QTest::newRow("map: insert")
            << Edit([](TestProgram &p) { mapCommands(p).addAfter(find(p, "Dialog1"), false); })
            << "Undo Add dialog";
        QTest::newRow("map: choice after")
            << Edit([](TestProgram &p) { mapCommands(p).addAfter(find(p, "Dialog3"), true); })
            << "Undo Add decision";
        QTest::newRow("map: answer")
            << Edit([](TestProgram &p) { mapCommands(p).addAnswer(find(p, "Dialog2")); })
            << "Undo Add answer";
        QTest::newRow("map: speaker")
            << Edit([](TestProgram &p) { mapCommands(p).setSpeaker(find(p, "Dialog1"), false); })
            << "Undo Update Speaker = Player";
        QTest::newRow("map: goto changed") << Edit([](TestProgram &p) {
            mapCommands(p).setGoto(find(p, "Dialog1"), find(p, "Dialog3"));
        }) << "Undo Goto = 3";
        QTest::newRow("map: goto added") << Edit([](TestProgram &p) {
            mapCommands(p).setGoto(find(p, "Dialog4"), find(p, "Dialog2"));
        }) << "Undo Goto = 2";
        QTest::newRow("map: goto removed")
            << Edit([](TestProgram &p) { mapCommands(p).setGoto(find(p, "Dialog1"), nullptr); })
            << "Undo Delete Goto = 4";
        QTest::newRow("config") << Edit([](TestProgram &p) {
            p.prompter.fileAnswers = {QStringLiteral("/x/other.ini")};
            p.mainWindow().changeConfigAction->trigger();
        }) << "Undo Change config file";
    }
    void everyCommandIsOneStep()
    {
        QFETCH(Edit, edit);
        QFETCH(QString, undoText);
        TestProgram p;
        p.start();
        buildStory(p);
        MainWindow &form = p.mainWindow();
        const QByteArray before = snapshot(p);
        QVERIFY(!form.undoAction->isEnabled());

        edit(p);
        const QByteArray after = snapshot(p);
        QVERIFY(after != before);
        QCOMPARE(form.undoAction->text(), undoText);

        form.Modified = false;
        form.undoAction->trigger();
        QCOMPARE(snapshot(p), before);
        QVERIFY(form.Modified);
        QVERIFY(!form.undoAction->isEnabled());
        QCOMPARE(form.redoAction->text(),
                 undoText.replace(QStringLiteral("Undo"), QStringLiteral("Redo")));
        form.redoAction->trigger();
        QCOMPARE(snapshot(p), after);
        form.undoAction->trigger();
        QCOMPARE(snapshot(p), before);
        // The view shows what the document holds, every node open.
        DialogTreeModel *model = form.treeView->dialogModel();
        for (int i = 0; i < treeOf(p).count(); ++i) {
            DialogNode *node = treeOf(p).nodeAt(i);
            QCOMPARE(model->node(model->indexOf(node)), node);
            QVERIFY(shownOpen(*form.treeView, node));
        }
    }

    // Gotos and delete actions follow the dialogs they named through every renumbering, as
    // part of the same step; an action whose dialog is gone keeps its text.
    void referencesFollowTheirDialogs_data()
    {
        QTest::addColumn<Edit>("edit");
        QTest::addColumn<QByteArrayList>("actions");
        QTest::newRow("place before Dialog2") << Edit([](TestProgram &p) {
            place(p, &PlacementWindow::beforeDialogRadio,
                  [](PlacementWindow &w) { w.dialogNumberField->setValue(2); });
        }) << QByteArrayList{"Goto = 5", "Goto = 3", "Delete = 1 from 3", "Delete = 5"};
        QTest::newRow("delete the choice dialog") << Edit([](TestProgram &p) {
            p.mainWindow().selectNode(find(p, "Choice = 1"));
            p.prompter.confirmAnswers = {true, true};
            p.mainWindow().deleteSelectedButton->click();
        }) << QByteArrayList{"Goto = 2", "Goto = 0", "Delete = 1 from 0", "Delete = 2"};
        QTest::newRow("drop Dialog4 onto Dialog1") << Edit([](TestProgram &p) {
            p.mainWindow().selectNode(find(p, "Dialog4"));
            p.mainWindow().findChild<DropCommand *>()->dropDialog(find(p, "Dialog1"));
        }) << QByteArrayList{"Goto = 1", "Goto = 3", "Delete = 1 from 3", "Delete = 1"};
    }
    void referencesFollowTheirDialogs()
    {
        QFETCH(Edit, edit);
        QFETCH(QByteArrayList, actions);
        TestProgram p;
        p.start();
        buildStory(p);
        DialogTree &tree = treeOf(p);
        // Dialog1 names Dialog4; Dialog4 names the choice dialog, its first choice and itself.
        DialogNode *last = find(p, "Dialog4");
        const QList<DialogNode *> nodes = {find(p, "Goto = 4"),
                                           tree.addChild(last, NodeText::gotoDialog(2)),
                                           tree.addChild(last, NodeText::deleteChoice(1, 2)),
                                           tree.addChild(last, NodeText::deleteDialog(4))};
        auto texts = [&] {
            QByteArrayList list;
            for (const DialogNode *node : nodes)
                list << node->text();
            return list;
        };
        const QByteArrayList before = texts();
        edit(p);
        QCOMPARE(texts(), actions);
        p.mainWindow().undoAction->trigger();
        QCOMPARE(texts(), before);
        p.mainWindow().redoAction->trigger();
        QCOMPARE(texts(), actions);
    }

    // A no-break space reaches the node as typed; a click below the last row keeps the
    // selection shown; a new document starts the search from the top.
    void selectionAndTextStayAsTheAuthorLeftThem()
    {
        TestProgram p;
        p.start();
        MainWindow &form = p.mainWindow();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.dialogTextEdit->setPlainText(QStringLiteral("a") + QChar(0xA0) +
                                          QStringLiteral("b\nc"));
        form.addAtEndCheck->setChecked(true);
        form.addDialogButton->click();
        QVERIFY(find(p, "Text = a\xA0"
                        "b\\nc"));

        DialogNode *dialog = find(p, "Dialog1");
        form.selectNode(dialog);
        QWidget *viewport = form.treeView->viewport();
        QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(5, viewport->height() - 5));
        QCOMPARE(form.selectedNode(), dialog);
        QVERIFY(form.treeView->selectionModel()->isSelected(
            form.treeView->dialogModel()->indexOf(dialog)));

        form.SearchPosition = 3;
        p.prompter.confirmAnswers = {false}; // not saved first
        form.newAction->trigger();
        QCOMPARE(form.SearchPosition, -1);
    }

    // Every placement is one step on top of the history, also when it renumbers the dialogs a
    // goto names (which once threw the history away).
    void placementsKeepTheHistory()
    {
        TestProgram p;
        p.start();
        buildStory(p);
        MainWindow &form = p.mainWindow();
        const QByteArray before = snapshot(p);
        QUndoStack *stack = form.history().stack();
        form.addAtEndCheck->setChecked(true);
        form.addDialogButton->click();
        form.addAtEndCheck->setChecked(false);
        place(p, &PlacementWindow::beforeDialogRadio,
              [](PlacementWindow &w) { w.dialogNumberField->setValue(1); });
        place(p, &PlacementWindow::intoChoiceRadio,
              [](PlacementWindow &w) { w.choiceList->selectRow(1); });
        QCOMPARE(stack->count(), 3);
        for (int step = 0; step < 3; ++step)
            form.undoAction->trigger();
        QCOMPARE(snapshot(p), before);
    }

    // A new or opened document starts a new history; a refused command leaves none.
    void historyStartsWithEachDocument()
    {
        TestProgram p;
        p.start();
        buildStory(p);
        MainWindow &form = p.mainWindow();
        form.selectNode(find(p, "Root"));
        form.deleteSelectedButton->click();
        QVERIFY(!form.undoAction->isEnabled());
        form.addDialogButton->click();
        QVERIFY(form.undoAction->isEnabled());
        form.Modified = false;
        form.newAction->trigger();
        QVERIFY(!form.undoAction->isEnabled());
        QVERIFY(!form.redoAction->isEnabled());
    }
};

QTEST_MAIN(TestUndo)
#include "test_undo.moc"
