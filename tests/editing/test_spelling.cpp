#include "document/node_text.h"
#include "platform/ansi.h"
#include "review/check_window.h"
#include "review/review_commands.h"
#include "spelling/spell_dictionary.h"
#include "spelling/spelling_check.h"
#include "spelling/spelling_commands.h"
#include "spelling/spelling_field.h"
#include "test_program.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStandardPaths>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QTreeView>

namespace {

// A text dialog, a choice whose answer is misspelled, and names that are no words.
void addSmallTree(DialogTree &tree)
{
    DialogNode *dialog = addTextDialog(tree, nullptr, "Helo wrld,\\nthe dragon's R2D2 sleeps.");
    tree.addChild(dialog, NodeText::call("Frobnicate, 1"));
    DialogNode *choice = tree.addChild(nullptr, NodeText::dialog(2));
    DialogNode *answer = tree.addChild(choice, NodeText::choice("1"));
    tree.addChild(answer, NodeText::text("Yess, gladly"));
}

QStringList lines(const std::vector<CheckFinding> &findings)
{
    QStringList result;
    for (const CheckFinding &finding : findings)
        result.append(finding.line());
    return result;
}

} // namespace

class TestSpelling : public QObject
{
    Q_OBJECT

    std::shared_ptr<SpellDictionary> m_english;

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QFile::remove(SpellDictionary::personalWordsFile());
        if (!SpellDictionary::available())
            QSKIP("built without Hunspell");
        m_english = SpellDictionary::open(QStringLiteral("en_US"));
        if (!m_english)
            QSKIP("no en_US dictionary installed (Debian: hunspell-en-us)");
    }

    // Only what authors wrote is checked; a word added to the dictionary stays known.
    void findsMisspelledWordsOfTextsOnly()
    {
        DialogTree tree;
        tree.addRootNode();
        addSmallTree(tree);
        const auto check = [&tree](const std::shared_ptr<SpellDictionary> &dictionary) {
            return lines(SpellingCheck::check(
                SpellingCheck::snapshot(tree),
                [&](const QString &word) { return dictionary->isCorrect(word); },
                QStringLiteral("en_US")));
        };
        const QString text =
            QStringLiteral("Dialog1: Text = Helo wrld,\\nthe dragon's R2D2 sleeps.: ");
        QCOMPARE(check(m_english),
                 QStringList({text + QStringLiteral("\"Helo\" is not in the en_US dictionary"),
                              text + QStringLiteral("\"wrld\" is not in the en_US dictionary"),
                              QStringLiteral("Dialog2: Text = Yess, gladly: \"Yess\" is not in the "
                                             "en_US dictionary")}));
        QVERIFY(m_english->suggestions(QStringLiteral("Helo")).contains(QStringLiteral("Hello")));
        m_english->addWord(QStringLiteral("wrld"));
        QCOMPARE(check(SpellDictionary::open(QStringLiteral("en_US"))).size(), 2);
    }

    // The editor underlines as the author types, and the check window lists the words in a
    // group of its own once the check beside the editor is done.
    void editorUnderlinesAndCheckWindowGroups()
    {
        TestProgram p;
        p.start();
        MainWindow &window = p.mainWindow();
        addSmallTree(window.document());
        auto *spelling = window.findChild<SpellingCommands *>();
        spelling->chooseLanguage(QStringLiteral("en_US"));
        window.dialogTextEdit->setPlainText(QStringLiteral("Helo there"));
        const QList<QTextLayout::FormatRange> formats =
            window.dialogTextEdit->document()->firstBlock().layout()->formats();
        QCOMPARE(formats.size(), 1);
        QCOMPARE(formats[0].start, 0);
        QCOMPARE(formats[0].length, 4);

        CheckWindow *check = window.findChild<ReviewCommands *>()->checkWindow();
        // The list's model stays consistent while the spelling group comes and goes.
        QAbstractItemModelTester tester(check->list()->model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        window.findChild<ReviewCommands *>()->checkDialogAction->trigger();
        QTRY_VERIFY(!check->spellingPending());
        const QAbstractItemModel *list = check->list()->model();
        const QModelIndex group = list->index(list->rowCount() - 1, 0);
        QVERIFY(group.data().toString().startsWith(u"Spelling (en_US)"));
        QCOMPARE(list->rowCount(group), 2); // "wrld" was added above
        // A suggestion on the check window's line of a word replaces it in that node's text.
        std::unique_ptr<QMenu> menu(check->spellingMenu(list->index(0, 0, group)));
        QVERIFY(menu->findChild<QAction *>(QStringLiteral("AddToDictionaryAction")));
        const QString suggestion = menu->actions().first()->text();
        menu->actions().first()->trigger();
        QVERIFY(window.document().nodeAt(4)->text().startsWith(
            "Text = " + Ansi::fromUnicode(suggestion) + " wrld"));
        window.undoAction->trigger();
        QVERIFY(window.document().nodeAt(4)->text().startsWith("Text = Helo wrld"));

        // The update field underlines the words of a dialog text only; the answer field all.
        window.nodeTextField->setText(QStringLiteral("Text = Yess"));
        window.answerTextField->setText(QStringLiteral("Yess, gladly"));
        for (SpellingField *field : spelling->fields())
            QCOMPARE(field->misspelled().size(), 1);
        window.nodeTextField->setText(QStringLiteral("Call = Frobnicate"));
        QVERIFY(spelling->fields().first()->misspelled().isEmpty());
        spelling->chooseLanguage(QString());
        QVERIFY(!list->index(list->rowCount() - 1, 0).data().toString().startsWith(u"Spelling"));
    }
};

QTEST_MAIN(TestSpelling)
#include "test_spelling.moc"
