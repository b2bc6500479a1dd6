#include "document/dialog_numbers.h"
#include "editing/clipboard_commands.h"
#include "editing/find_replace_commands.h"
#include "editing/find_replace_window.h"
#include "persistence/dlg_writer.h"
#include "platform/ansi.h"
#include "test_program.h"
#include "windows/dialog_tree_view.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

// Text the code page cannot hold is refused where it enters, never stored as "?".
class TestCodePageEntry : public QObject
{
    Q_OBJECT

private slots:
    void refusedAtEveryEntry_data()
    {
        QTest::addColumn<QString>("entry");
        for (const char *entry : {"text box", "answer field", "answer table", "update", "rename",
                                  "paste", "replace", "replace all", "variable", "call", "config"})
            QTest::newRow(entry) << QString::fromLatin1(entry);
    }

    void refusedAtEveryEntry()
    {
        QFETCH(QString, entry);
        const QString alien = QStringLiteral("Zaż\u0142ó");
        TestProgram p;
        p.start();
        MainWindow &window = p.mainWindow();
        DialogTree &tree = window.document();
        addFlowStory(tree);
        window.enableActionsAction->setChecked(true);
        const DialogNode *hello = DialogNumbers(tree).find(1);
        DialogNode *text = tree.nodeAt(hello->absoluteIndex() + 2);
        window.selectNode(text);
        const QByteArray before = DlgWriter::nodeBlock(tree);
        const QString undoBefore = window.undoAction->text();

        if (entry == u"text box") {
            window.addAtEndCheck->setChecked(true);
            window.dialogTextEdit->setPlainText(alien);
            window.addDialogButton->click();
        } else if (entry == u"answer field") {
            window.answerTextField->setText(alien);
            window.addAnswerButton->click();
            QCOMPARE(window.answerTable->topLevelItemCount(), 0);
        } else if (entry == u"answer table") {
            window.addAtEndCheck->setChecked(true);
            auto *item = new QTreeWidgetItem(window.answerTable);
            item->setText(0, QStringLiteral("1"));
            item->setText(1, alien);
            window.addDecisionButton->click();
        } else if (entry == u"update") {
            window.nodeTextField->setText(QStringLiteral("Text = ") + alien);
            window.updateSelectedButton->click();
        } else if (entry == u"rename") {
            QAbstractItemModel *model = window.treeView->model();
            QVERIFY(!model->setData(model->index(text->absoluteIndex(), 0), alien));
        } else if (entry == u"paste") {
            QGuiApplication::clipboard()->setText(QStringLiteral("Dialog1\n  Text = ") + alien);
            window.findChild<ClipboardCommands *>()->pasteAction->trigger();
        } else if (entry.startsWith(u"replace")) {
            window.findChild<FindReplaceCommands *>()->findReplaceAction->trigger();
            auto *find = window.findChild<FindReplaceWindow *>();
            find->findField->setText(QStringLiteral("Hello"));
            find->replaceField->setText(alien);
            (entry == u"replace" ? find->replaceButton : find->replaceAllButton)->click();
        } else if (entry == u"variable") {
            window.variableNameCombo->setEditText(QStringLiteral("gold"));
            window.variableValueField->setText(alien);
            window.addVariableButton->click();
        } else if (entry == u"call") {
            window.functionCallCombo->setEditText(alien + QStringLiteral("()"));
            window.addCallButton->click();
        } else {
            p.prompter.fileAnswers.append(QStringLiteral("/tmp/") + alien + QStringLiteral(".ini"));
            window.changeConfigAction->trigger();
        }
        // Paste names the line of the clipboard's text that holds the character.
        const QString line = entry == u"paste" ? QStringLiteral("Clipboard:2: ") : QString();
        QCOMPARE(p.prompter.messages(),
                 QStringList{line + Ansi::unrepresentableText(QStringLiteral("ż"))});
        QCOMPARE(DlgWriter::nodeBlock(tree), before);
        QCOMPARE(window.undoAction->text(), undoBefore);
    }
};

QTEST_MAIN(TestCodePageEntry)
#include "test_code_page_entry.moc"
