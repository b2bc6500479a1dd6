#include "document/node_text.h"
#include "review/check_window.h"
#include "review/read_through_window.h"
#include "test_program.h"
#include "windows/main_window.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>
#include <QTreeView>

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
};

QTEST_MAIN(TestReviewWindows)
#include "test_review_windows.moc"
