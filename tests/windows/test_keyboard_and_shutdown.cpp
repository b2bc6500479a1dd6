#include "document/node_text.h"
#include "editing/placement_window.h"
#include "persistence/dlg_file.h"
#include "persistence/recovery_controller.h"
#include "program/shutdown_guard.h"
#include "test_program.h"
#include "windows/dialog_tree_view.h"

#include <QAccessible>
#include <QCheckBox>
#include <QDir>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>
#include <csignal>

class TestKeyboardAndShutdown : public QObject
{
    Q_OBJECT

private slots:
    // Tab leaves the choice list for the controls below it, and picking a row means placing into
    // that choice.
    void placementWindowByKeys()
    {
        TestProgram p;
        p.start();
        DialogTree &tree = p.mainWindow().document();
        addFlowStory(tree);
        PlacementWindow &window = p.app->placementWindow();
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        window.choiceList->setFocus();
        QTest::keyClick(window.choiceList, Qt::Key_Down);
        QVERIFY(window.intoChoiceRadio->isChecked());
        QCOMPARE(window.choiceList->item(0, 2)->toolTip(), QStringLiteral("Yes"));
        QTest::keyClick(window.choiceList, Qt::Key_Tab);
        QVERIFY(QApplication::focusWidget() != window.choiceList);
        window.hide();
    }

    // Assistive technology sees the nodes as a tree: each item with its parent, its children
    // and its open state, whatever level it stands at.
    void treeIsATreeForScreenReaders()
    {
        TestProgram p;
        p.start();
        DialogTree &tree = p.mainWindow().document();
        addFlowStory(tree);
        QAccessibleInterface *view = QAccessible::queryAccessibleInterface(p.mainWindow().treeView);
        QCOMPARE(view->role(), QAccessible::Tree);
        QCOMPARE(view->childCount(), tree.topLevelCount());
        for (int i = 0; i < tree.count(); ++i) {
            const DialogNode *node = tree.nodeAt(i);
            // Down from the top to the node, then up again through the parents.
            std::vector<int> rows;
            for (const DialogNode *at = node; at; at = at->parent())
                rows.insert(rows.begin(), at->row());
            QAccessibleInterface *item = view;
            for (const int row : rows)
                item = item->child(row);
            QCOMPARE(item->text(QAccessible::Name), QString::fromLatin1(node->text()));
            QCOMPARE(item->childCount(), node->childCount());
            QCOMPARE(bool(item->state().expanded), node->childCount() > 0);
            int level = 0;
            for (QAccessibleInterface *up = item->parent(); up != view; up = up->parent())
                ++level;
            QCOMPARE(level, node->level());
        }
    }

    // A kill with unsaved changes leaves the recovery copy, which the next start offers.
    void terminationKeepsTheWork()
    {
#ifndef Q_OS_UNIX
        QSKIP("signals are POSIX's");
#else
        TestProgram p;
        p.start();
        int ended = 0;
        ShutdownGuard guard(p.app->recovery(), [&](int signal) { ended = signal; });
        p.mainWindow().dialogTextEdit->setPlainText(QStringLiteral("Unsaved"));
        p.mainWindow().addAtEndCheck->setChecked(true);
        p.mainWindow().addDialogButton->click();
        ::raise(SIGTERM);
        QTRY_COMPARE(ended, SIGTERM);
        QVERIFY(!QDir(p.appData.path())
                     .entryList({QStringLiteral("recovery-*.dlg")}, QDir::Files)
                     .isEmpty());
        p.app.reset();
        p.prompter.confirmAnswers = {true};
        p.start();
        QCOMPARE(p.mainWindow().document().nodeAt(4)->text(), QByteArray("Text = Unsaved"));
        QVERIFY(p.mainWindow().Modified);
#endif
    }

    // A kill while a question is open ends nothing the author did not answer: whatever the box
    // hands back when its loop is ended from outside (the answer that throws the work away,
    // here), the copy the signal wrote stays, and the next start offers it.
    void signalDuringAQuestionKeepsTheCopy_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("New") << QStringLiteral("new");
        QTest::newRow("Open") << QStringLiteral("open");
        QTest::newRow("Close") << QStringLiteral("close");
    }
    void signalDuringAQuestionKeepsTheCopy()
    {
#ifndef Q_OS_UNIX
        QSKIP("signals are POSIX's");
#else
        QFETCH(QString, command);
        TestProgram p;
        p.start();
        MainWindow &window = p.mainWindow();
        const QString other = p.appData.filePath(QStringLiteral("other.dlg"));
        DlgFile::save(window.document(), other, {});
        int ended = 0;
        ShutdownGuard guard(p.app->recovery(), [&](int signal) { ended = signal; });
        window.dialogTextEdit->setPlainText(QStringLiteral("Unsaved"));
        window.addAtEndCheck->setChecked(true);
        window.addDialogButton->click();
        p.prompter.whileAsking = [&] {
            p.prompter.whileAsking = nullptr;
            ::raise(SIGTERM);
            QTRY_COMPARE(ended, SIGTERM);
        };
        const bool discards = command == u"new" ? false : true;
        p.prompter.confirmAnswers = {discards};
        if (command == u"new") {
            window.newAction->trigger();
        } else if (command == u"open") {
            p.prompter.fileAnswers = {other};
            window.openAction->trigger();
        } else {
            window.close();
        }
        QCOMPARE(ended, SIGTERM);
        p.app.reset();
        p.prompter.confirmAnswers = {true};
        p.start();
        QCOMPARE(p.mainWindow().document().nodeAt(4)->text(), QByteArray("Text = Unsaved"));
        QVERIFY(p.mainWindow().Modified);
#endif
    }
};

QTEST_MAIN(TestKeyboardAndShutdown)
#include "test_keyboard_and_shutdown.moc"
