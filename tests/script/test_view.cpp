#include "persistence/dlg_writer.h"
#include "persistence/recovery_controller.h"
#include "script/script_commands.h"
#include "script/script_editor.h"
#include "script/script_pane.h"
#include "test_files.h"
#include "test_program.h"
#include "windows/main_window.h"

#include <QAction>
#include <QCompleter>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>

namespace {

const QString kCastle = QStringLiteral("Config = Configs/Example.ini\n"
                                       "Dialog1 Entity: Halt! Who goes there?\n"
                                       "Dialog2 choice\n"
                                       "  1. A friend of the castle.\n"
                                       "    Dialog3 Entity: Then pass, friend.\n"
                                       "  2. None of your business.\n"
                                       "    Dialog4 Entity: Then you stay outside.\n"
                                       "      Goto = 1\n");

} // namespace

class TestScriptView : public QObject
{
    Q_OBJECT

private slots:
    // The view applies what was typed as one step, follows undo, marks what does not read and
    // moves with the tree's selection both ways.
    void appliesAndFollowsTheTree()
    {
        TestProgram program;
        program.start({QStringLiteral(TALMERO_SOURCE_DIR "/data/Examples/Castle.dlg")});
        MainWindow &window = program.mainWindow();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QByteArray before = DlgWriter::stream(window.document(), {});
        auto *commands = window.findChild<ScriptCommands *>();
        QVERIFY(commands);
        ScriptPane *pane = commands->pane();
        ScriptEditor *editor = pane->editor();
        commands->scriptAction->trigger();
        QVERIFY(pane->isVisible());
        QCOMPARE(pane->text(), kCastle);

        // The selection moves the cursor, and the cursor the selection.
        DialogTree &tree = window.document();
        window.selectNode(tree.nodeAt(17)); // Dialog4's speaker
        QCOMPARE(editor->textCursor().block().text(),
                 QStringLiteral("    Dialog4 Entity: Then you stay outside."));
        editor->setTextCursor(QTextCursor(editor->document()->findBlockByNumber(7)));
        QCOMPARE(window.selectedNode(), tree.nodeAt(15)); // the goto's dialog

        // A line that does not read is marked, and nothing changes.
        QTextCursor end(editor->document());
        end.movePosition(QTextCursor::End);
        editor->setTextCursor(end);
        QTest::keyClicks(editor, QStringLiteral("Narrator: Hello"));
        QTest::keyClick(editor, Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(DlgWriter::stream(tree, {}), before);
        QVERIFY(pane->hasUnappliedText());
        const auto *problems = pane->findChild<QListWidget *>(QStringLiteral("ScriptProblems"));
        QCOMPARE(problems->item(0)->text(),
                 QStringLiteral("Line 9: a speaker is Player or Entity"));

        // Mended, it is one step; undo shows in the view.
        QTextCursor line = editor->textCursor();
        line.select(QTextCursor::LineUnderCursor);
        line.insertText(QStringLiteral("Player: Fine, I will leave."));
        QTest::keyClick(editor, Qt::Key_Return, Qt::ControlModifier);
        QVERIFY(!pane->hasUnappliedText());
        QCOMPARE(pane->text(), kCastle + QStringLiteral("Dialog5 Player: Fine, I will leave.\n"));
        QCOMPARE(window.undoAction->text(), QStringLiteral("Undo Script edit"));
        QCOMPARE(window.selectedNode()->text(), QByteArray("Dialog5"));
        window.undoAction->trigger();
        QTRY_COMPARE(pane->text(), kCastle);
        QCOMPARE(DlgWriter::stream(tree, {}), before);

        // Unapplied lines are not dropped without a question; an edit elsewhere merges in.
        editor->setTextCursor(end);
        QTest::keyClicks(editor, QStringLiteral("Entity: Stop!"));
        tree.setText(tree.nodeAt(5), "Text = Halt!");
        QTRY_VERIFY(pane->text().contains(QStringLiteral("Dialog1 Entity: Halt!\n")));
        QVERIFY(pane->text().endsWith(QStringLiteral("Entity: Stop!")));
        program.prompter.confirmAnswers = {false};
        QVERIFY(!window.close());
        QCOMPARE(program.prompter.confirmations(), QStringList{ScriptCommands::discardQuestion()});
    }

    // Return continues a text dialog with the other speaker, Tab and Shift+Tab shift the line,
    // and after "Goto = " the dialogs are offered.
    void writesFast()
    {
        TestProgram program;
        program.start({QStringLiteral(TALMERO_SOURCE_DIR "/data/Examples/Castle.dlg")});
        auto *commands = program.mainWindow().findChild<ScriptCommands *>();
        commands->scriptAction->trigger();
        ScriptEditor *editor = commands->pane()->editor();
        editor->setTextCursor(QTextCursor(editor->document()->findBlockByNumber(4)));
        editor->moveCursor(QTextCursor::EndOfBlock);
        QTest::keyClick(editor, Qt::Key_Return);
        QCOMPARE(editor->textCursor().block().text(), QStringLiteral("    Player: "));
        QTest::keyClick(editor, Qt::Key_Tab);
        QCOMPARE(editor->textCursor().block().text(), QStringLiteral("      Player: "));
        QTest::keyClick(editor, Qt::Key_Backtab);
        QTest::keyClick(editor, Qt::Key_Backtab);
        QCOMPARE(editor->textCursor().block().text(), QStringLiteral("  Player: "));
        QTextCursor line = editor->textCursor();
        line.select(QTextCursor::LineUnderCursor);
        line.insertText(QStringLiteral("      Goto"));
        QTest::keyClicks(editor, QStringLiteral(" = "));
        QCOMPARE(editor->completer()->completionCount(), 4);
        QTest::keyClick(editor, Qt::Key_3);
        QCOMPARE(editor->completer()->currentCompletion(), QStringLiteral("3"));
    }

    // Lines not applied go into the recovery copy, even while the document has no unsaved
    // change, and come back into the view with the copy.
    void unappliedLinesSurviveACrash()
    {
        const QString typed = kCastle + QStringLiteral("Player: Not yet applied.\n");
        QTemporaryDir left;
        {
            TestProgram crashed;
            crashed.start({QStringLiteral(TALMERO_SOURCE_DIR "/data/Examples/Castle.dlg")});
            crashed.app->recovery().setInterval(0);
            auto *commands = crashed.mainWindow().findChild<ScriptCommands *>();
            commands->scriptAction->trigger();
            crashed.mainWindow().Modified = false;
            QTextCursor end(commands->pane()->editor()->document());
            end.movePosition(QTextCursor::End);
            end.insertText(QStringLiteral("Player: Not yet applied.\n"));
            const QDir folder(crashed.appData.path());
            QTRY_VERIFY(!folder.entryList({QStringLiteral("recovery-*.script")}).isEmpty());
            for (const QString &name :
                 folder.entryList({QStringLiteral("recovery-*")}, QDir::Files))
                if (!name.endsWith(QStringLiteral(".lock")))
                    QFile::copy(folder.filePath(name), QDir(left.path()).filePath(name));
        }
        TestProgram next;
        for (const QString &name : QDir(left.path()).entryList(QDir::Files))
            QFile::copy(QDir(left.path()).filePath(name), next.appData.filePath(name));
        next.prompter.confirmAnswers = {true};
        next.start();
        ScriptPane *pane = next.mainWindow().findChild<ScriptCommands *>()->pane();
        QVERIFY(pane->isVisibleTo(&next.mainWindow()));
        QVERIFY(pane->hasUnappliedText());
        QCOMPARE(pane->text(), typed);
    }
};

QTEST_MAIN(TestScriptView)
#include "test_view.moc"
