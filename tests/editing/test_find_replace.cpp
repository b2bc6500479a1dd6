#include "document/dialog_edits.h"
#include "document/node_text.h"
#include "document/text_replacement.h"
#include "editing/find_replace_window.h"
#include "persistence/dlg_writer.h"
#include "test_program.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

// Root with "Config = text.ini"; Dialog1 a text dialog spoken by "Text"; Dialog2 a choice of
// "Dialog text" and "TEXT \xC9T\xC9" (capital e acute); Dialog3 a text dialog with "Call = text".
void buildStory(DialogTree &tree)
{
    tree.addChild(tree.firstNode(), NodeText::config("text.ini"));
    DialogNode *first = addTextDialog(tree, nullptr, "Text is a text, not a texture.");
    tree.setText(first->child(1), NodeText::speaker("Text"));
    DialogEdits(tree).addChoiceDialog(first, {{"1", "Dialog text"}, {"2", "TEXT \xC9T\xC9"}});
    tree.addChild(addTextDialog(tree, nullptr, "Call it Dialog1 or dialog"),
                  NodeText::call("text"));
    tree.renumberDialogs();
}

// The texts of the tree in pre-order: the authors' (after "Text = ") or all the others.
QByteArrayList textsOf(const DialogTree &tree, bool authors)
{
    QByteArrayList texts;
    for (int i = 0; i < tree.count(); ++i) {
        if (TextReplacement::isAuthorText(tree.nodeAt(i)->text()) == authors)
            texts << tree.nodeAt(i)->text();
    }
    return texts;
}

// Shows the program and opens the window with Ctrl+H, as the author does.
FindReplaceWindow *openWindow(TestProgram &p)
{
    MainWindow &form = p.mainWindow();
    form.show();
    form.activateWindow();
    if (!QTest::qWaitForWindowActive(&form))
        return nullptr;
    QTest::keyClick(&form, Qt::Key_H, Qt::ControlModifier);
    // A dialog counts as active while its parent is: wait for the keys to go to the window.
    auto *window = form.findChild<FindReplaceWindow *>();
    if (!window || !QTest::qWaitFor([&] { return QApplication::activeWindow() == window; }))
        return nullptr;
    return window;
}

} // namespace

class TestFindReplace : public QObject
{
    Q_OBJECT

private slots:
    // Replace all changes only what authors wrote, honours the options, is one step named by
    // its count, and its undo gives back the same bytes.
    void replaceAllIsOneStep_data()
    {
        QTest::addColumn<QString>("find");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<bool>("wholeWords");
        QTest::addColumn<QByteArrayList>("texts");
        QTest::addColumn<QString>("status");
        const QByteArrayList before = {"Text = Text is a text, not a texture.",
                                       "Text = Dialog text", "Text = TEXT \xC9T\xC9",
                                       "Text = Call it Dialog1 or dialog"};
        QTest::newRow("any case") << "text"
                                  << "word" << false << false
                                  << QByteArrayList{"Text = word is a word, not a wordure.",
                                                    "Text = Dialog word", "Text = word \xC9T\xC9",
                                                    before[3]}
                                  << "3 texts replaced.";
        QTest::newRow("case and words")
            << "text"
            << "word" << true << true
            << QByteArrayList{"Text = Text is a word, not a texture.", "Text = Dialog word",
                              before[2], before[3]}
            << "2 texts replaced.";
        QTest::newRow("no digit beside")
            << "dialog"
            << "scene" << false << true
            << QByteArrayList{before[0], "Text = scene text", before[2],
                              "Text = Call it Dialog1 or scene"}
            << "2 texts replaced.";
        QTest::newRow("accents, too long")
            << QString::fromLatin1("\xE9t\xE9") << QString(300, u'x') << false << true
            << QByteArrayList{before[0], before[1], "Text = TEXT " + QByteArray(300, 'x'),
                              before[3]}
            << "1 text replaced, 1 now longer than 255 characters, which saving shortens.";
        QTest::newRow("nothing") << "Type"
                                 << "x" << false << false << before << "Nothing replaced.";
    }
    void replaceAllIsOneStep()
    {
        QFETCH(QString, find);
        QFETCH(QString, replacement);
        QFETCH(bool, matchCase);
        QFETCH(bool, wholeWords);
        QFETCH(QByteArrayList, texts);
        QFETCH(QString, status);
        TestProgram p;
        p.start();
        MainWindow &form = p.mainWindow();
        DialogTree &tree = form.document();
        buildStory(tree);
        const QByteArray before = DlgWriter::nodeBlock(tree);
        const QByteArrayList others = textsOf(tree, false);
        FindReplaceWindow *window = openWindow(p);
        QVERIFY(window);

        window->findField->setText(find);
        window->replaceField->setText(replacement);
        window->matchCaseCheck->setChecked(matchCase);
        window->wholeWordsCheck->setChecked(wholeWords);
        form.Modified = false;
        // A button's mnemonic clicks it a moment later; the status says when it did.
        QTest::keyClick(window, Qt::Key_A, Qt::AltModifier);
        QTRY_COMPARE(window->statusLabel->text(), status);
        QCOMPARE(textsOf(tree, true), texts);
        QCOMPARE(textsOf(tree, false), others);
        const int count = status.section(u' ', 0, 0).toInt();
        QCOMPARE(form.Modified, count > 0);
        if (count == 0) {
            QVERIFY(!form.undoAction->isEnabled());
            return;
        }
        QCOMPARE(form.undoAction->text(), count == 1
                                              ? QStringLiteral("Undo Replace 1 text")
                                              : QStringLiteral("Undo Replace %1 texts").arg(count));
        form.undoAction->trigger();
        QCOMPARE(DlgWriter::nodeBlock(tree), before);
    }

    // Find next walks the matches in tree order and wraps around; Replace changes the selected
    // match and goes on to the next. All from the keyboard.
    void findNextWalksAndWraps()
    {
        TestProgram p;
        p.start();
        MainWindow &form = p.mainWindow();
        DialogTree &tree = form.document();
        buildStory(tree);
        form.selectNode(tree.firstNode());
        FindReplaceWindow *window = openWindow(p);
        QVERIFY(window);
        QCOMPARE(QApplication::focusWidget(), window->findField);

        QTest::keyClick(window, Qt::Key_F, Qt::AltModifier);
        QTRY_COMPARE(window->statusLabel->text(), QStringLiteral("Type the text to find first."));
        QTest::keyClicks(window->findField, QStringLiteral("DIALOG"));
        QTest::keyClick(window->findField, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), window->replaceField);
        QTest::keyClicks(window->replaceField, QStringLiteral("scene"));
        DialogNode *answer = tree.nodeAt(8);
        DialogNode *last = tree.nodeAt(14);
        const std::pair<DialogNode *, QString> walk[] = {
            {answer, QStringLiteral("Found in Dialog2.")},
            {last, QStringLiteral("Found in Dialog3.")},
            {answer, QStringLiteral("Found in Dialog2, continued from the top.")}};
        for (const auto &[node, said] : walk) {
            QTest::keyClick(window, Qt::Key_F, Qt::AltModifier);
            QTRY_COMPARE(window->statusLabel->text(), said);
            QCOMPARE(form.selectedNode(), node);
        }

        QTest::keyClick(window, Qt::Key_R, Qt::AltModifier);
        QTRY_COMPARE(window->statusLabel->text(),
                     QStringLiteral("1 text replaced. Found in Dialog3."));
        QCOMPARE(answer->text(), QByteArray("Text = scene text"));
        QCOMPARE(form.undoAction->text(), QStringLiteral("Undo Replace in Dialog2"));
        QCOMPARE(form.selectedNode(), last);
        QTest::keyClick(window, Qt::Key_R, Qt::AltModifier);
        QTRY_COMPARE(window->statusLabel->text(),
                     QStringLiteral("1 text replaced. No more matches."));
        QCOMPARE(last->text(), QByteArray("Text = Call it scene1 or scene"));
        QCOMPARE(form.selectedNode(), last);
        // The field under the tree shows the new text, so that Update cannot write back the old.
        QCOMPARE(form.nodeTextField->text(), QStringLiteral("Text = Call it scene1 or scene"));
        QTest::keyClick(window, Qt::Key_F, Qt::AltModifier);
        QTRY_COMPARE(window->statusLabel->text(), QStringLiteral("Not found."));

        QTest::keyClick(window, Qt::Key_Escape);
        QVERIFY(!window->isVisible());
    }
};

QTEST_MAIN(TestFindReplace)
#include "test_find_replace.moc"
