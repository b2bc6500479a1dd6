#include "document/node_text.h"
#include "review/check_window.h"
#include "review/game_state_panel.h"
#include "review/read_through_window.h"
#include "review/readings_panel.h"
#include "test_files.h"
#include "test_program.h"
#include "windows/main_window.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>
#include <QTreeView>
#include <QTreeWidget>

namespace {

QAction *toolsEntry(MainWindow &form, const char *name)
{
    return form.findChild<QAction *>(QLatin1String(name));
}

} // namespace

class TestReviewWindows : public QObject
{
    Q_OBJECT

private slots:
    void menuEntriesSitInTools()
    {
        TestProgram program;
        program.start();
        QAction *check = toolsEntry(program.mainWindow(), "CheckDialog1");
        QAction *read = toolsEntry(program.mainWindow(), "ReadThrough1");
        QVERIFY(check && read);
        QCOMPARE(check->text(), QStringLiteral("&Check dialog"));
        QCOMPARE(check->shortcut(), QKeySequence(Qt::Key_F7));
        QCOMPARE(read->text(), QStringLiteral("&Read through"));
        QCOMPARE(read->shortcut(), QKeySequence(Qt::Key_F5));
        QVERIFY(program.mainWindow().fontGeneratorAction->associatedObjects().contains(
            check->associatedObjects().value(0)));
    }

    // The list follows the edits while it is open, and a line leads to its node.
    void checkWindowFollowsEditsAndSelects()
    {
        TestProgram program;
        program.start();
        MainWindow &form = program.mainWindow();
        toolsEntry(form, "CheckDialog1")->trigger();
        auto *window = form.findChild<CheckWindow *>();
        QVERIFY(window && window->isVisible());
        QAbstractItemModel *list = window->list()->model();
        QAbstractItemModelTester tester(list,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(list->rowCount(), 1); // no configuration

        DialogTree &tree = form.document();
        DialogNode *dialog = addTextDialog(tree, nullptr, "Hi");
        DialogNode *jump = tree.addChild(dialog, NodeText::gotoDialog(7));
        QTRY_COMPARE(list->rowCount(), 2);
        QCOMPARE(list->index(1, 0).data(), QStringLiteral("Dialog1"));
        QCOMPARE(list->index(1, 1).data(), QStringLiteral("Goto = 7"));
        // The columns fit what they show.
        const int fitted = window->list()->columnWidth(0);
        window->list()->resizeColumnToContents(0);
        QCOMPARE(window->list()->columnWidth(0), fitted);
        emit window->list()->activated(list->index(1, 2));
        QCOMPARE(form.selectedNode(), jump);

        // A node removed before the list caught up is never selected through a stale line.
        tree.remove(dialog);
        emit window->list()->activated(list->index(1, 0));
        QCOMPARE(list->rowCount(), 1);
    }

    void readThroughPlaysWithButtonsAndStopsOnEdits()
    {
        TestProgram program;
        program.start();
        MainWindow &form = program.mainWindow();
        DialogTree &tree = form.document();
        addTextDialog(tree, nullptr, "Line one\\nLine two", "Entity");
        DialogNode *choice = tree.addChild(nullptr, NodeText::dialog(0));
        tree.addChild(tree.addChild(choice, NodeText::choice("1")), NodeText::text("Yes"));
        tree.addChild(tree.addChild(choice, NodeText::choice("2")), NodeText::text("No"));

        toolsEntry(form, "ReadThrough1")->trigger();
        auto *window = form.findChild<ReadThroughWindow *>();
        QVERIFY(window && window->isVisible());
        QCOMPARE(window->answerButtons().size(), 2);
        QCOMPARE(window->answerButtons().at(1)->text(), QStringLiteral("2: No"));
        QVERIFY(window->transcript()->toHtml().contains(QStringLiteral("Line one<br />Line two")));

        window->findChild<QPushButton *>(QStringLiteral("ShowInTree"))->click();
        QCOMPARE(form.selectedNode(), choice);
        window->answerButtons().at(1)->click();
        QCOMPARE(window->reader().state(), ReadThrough::State::Ended);
        QVERIFY(window->answerButtons().isEmpty());

        window->findChild<QPushButton *>(QStringLiteral("Restart"))->click();
        QCOMPARE(window->reader().state(), ReadThrough::State::Choosing);
        tree.remove(choice);
        QCOMPARE(window->reader().state(), ReadThrough::State::Stopped);
        QVERIFY(window->answerButtons().isEmpty());
        QVERIFY(!window->findChild<QPushButton *>(QStringLiteral("ShowInTree"))->isEnabled());
    }

    // Read from here with a start state, the state beside the transcript, a reading saved,
    // replayed after an edit on its way, listed by the check window, and accepted.
    void readFromHereWithStateAndSavedReadings()
    {
        TestProgram program;
        program.start();
        MainWindow &form = program.mainWindow();
        DialogTree &tree = form.document();
        addOutline(tree, "Dialog1\n  Type = Text\n  Speaker = Entity\n  Text = Skipped.\n"
                         "Dialog2\n  Type = Text\n  Speaker = Entity\n  Text = Halt!\n"
                         "  Set Short met = 1\n"
                         "Dialog3\n  Choice = 1\n    Text = Pass\n  Choice = 2\n    Text = Wait\n"
                         "    Dialog4\n      Type = Text\n      Speaker = Player\n"
                         "      Text = I wait.\n      Delete = 2 from 3\n      Goto = 3\n"
                         "  Choice = 3\n    Text = Again\n"
                         "Dialog5\n  Type = Text\n  Speaker = Entity\n  Text = Farewell.\n");
        form.CurrentFileName = program.folder.filePath(QStringLiteral("Story.dlg"));
        form.selectNode(tree.nodeAt(8)); // Dialog2's text
        toolsEntry(form, "ReadFromHere1")->trigger();
        auto *window = form.findChild<ReadThroughWindow *>();
        QVERIFY(window && window->isVisible());
        QCOMPARE(window->reader().transcript().front().label, QByteArray("Dialog2"));
        window->statePanel()->startState()->setPlainText(QStringLiteral("Set Short gold = 7"));
        window->findChild<QPushButton *>(QStringLiteral("Restart"))->click();
        window->answerButtons().at(1)->click();
        window->answerButtons().at(0)->click();
        QCOMPARE(window->reader().state(), ReadThrough::State::Ended);
        QTreeWidget *state = window->statePanel()->stateList();
        QCOMPARE(state->topLevelItem(0)->text(0), QStringLiteral("Variables (2)"));
        QCOMPARE(state->topLevelItem(0)->child(0)->text(3), QStringLiteral("start"));
        QCOMPARE(state->topLevelItem(0)->child(1)->text(3), QStringLiteral("Dialog2"));
        QCOMPARE(state->topLevelItem(2)->child(0)->text(0), QStringLiteral("choice 2 of Dialog3"));
        QCOMPARE(state->topLevelItem(3)->child(1)->text(2), QStringLiteral("2 times"));

        program.prompter.inputAnswers << QStringLiteral("Pass");
        window->findChild<QPushButton *>(QStringLiteral("SaveReading"))->click();
        QVERIFY(program.prompter.errors().isEmpty());
        window->tabs()->setCurrentWidget(window->readingsPanel());
        QTreeWidget *list = window->readingsPanel()->readingList();
        QTRY_COMPARE(list->topLevelItemCount(), 1);
        QTRY_COMPARE(list->topLevelItem(0)->text(2), QStringLiteral("agrees"));

        toolsEntry(form, "CheckDialog1")->trigger();
        auto *check = form.findChild<CheckWindow *>();
        tree.setText(tree.nodeAt(tree.count() - 1), "Text = Goodbye.");
        QTRY_VERIFY(list->topLevelItem(0)->text(2).startsWith(QStringLiteral("differs: ")));
        list->setCurrentItem(list->topLevelItem(0));
        QCOMPARE(window->readingsPanel()->difference()->topLevelItem(2)->text(1),
                 QStringLiteral("Dialog5 Entity: Goodbye."));
        QTRY_VERIFY(check->findings()->groupIndex(FindingListModel::Group::Readings).isValid());
        window->readingsPanel()->findChild<QPushButton *>(QStringLiteral("AcceptReading"))->click();
        QTRY_COMPARE(list->topLevelItem(0)->text(2), QStringLiteral("agrees"));
        QVERIFY(TestFiles::read(program.folder.filePath(QStringLiteral("Story.readings.txt")))
                    .contains("| Dialog5 Entity: Goodbye.\n"));
    }
};

QTEST_MAIN(TestReviewWindows)
#include "test_review_windows.moc"
