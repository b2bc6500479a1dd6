#include "document/node_text.h"
#include "platform/ansi.h"
#include "platform/user_settings.h"
#include "review/check_window.h"
#include "review/review_commands.h"
#include "spelling/spell_dictionary.h"
#include "spelling/spelling_check.h"
#include "spelling/spelling_commands.h"
#include "spelling/spelling_field.h"
#include "test_files.h"
#include "test_program.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QTreeView>
#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

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
        m_english = SpellDictionary::open(QStringLiteral("en_US"));
    }
    // The tests without data rows need the en_US dictionary installed; the rows bring their own.
    void init()
    {
        if (!SpellDictionary::available())
            QSKIP("built without Hunspell");
        if (!m_english && !QTest::currentDataTag())
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

    // The user's own files are read only when they are regular files of a sane size: a FIFO,
    // a device or a huge file is left alone at once, with a message, and the program goes on
    // without it (its defaults, no personal words, no such dictionary).
    void specialUserFilesAreLeftAloneWithAMessage_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("kind");
        for (const char *file : {"talmero.ini", "words.txt", "xx.aff", "xx.dic"}) {
            for (const char *kind : {"fifo", "link to /dev/zero", "huge"}) {
#ifdef Q_OS_WIN
                if (QByteArray(kind) != "huge")
                    continue;
#endif
                QTest::newRow(qPrintable(
                    QStringLiteral("%1 %2").arg(QLatin1String(file), QLatin1String(kind))))
                    << QString::fromLatin1(file) << QString::fromLatin1(kind);
            }
        }
    }
    void specialUserFilesAreLeftAloneWithAMessage()
    {
        QFETCH(QString, file);
        QFETCH(QString, kind);
        QTemporaryDir dir;
        UserSettings::setFolder(dir.path());
        const QString aff = dir.filePath(QStringLiteral("xx.aff"));
        const QString dic = dir.filePath(QStringLiteral("xx.dic"));
        TestFiles::write(aff, "SET UTF-8\n");
        TestFiles::write(dic, "1\nhello\n");
        const QString path = file == u"talmero.ini" ? UserSettings::fileName()
                             : file == u"words.txt" ? SpellDictionary::personalWordsFile()
                                                    : dir.filePath(file);
        QDir().mkpath(QFileInfo(path).path());
        QFile::remove(path);
        if (kind == u"huge") {
            // Sparse: larger than any such file should be, without the bytes.
            QFile huge(path);
            QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(qint64(300) << 20));
        } else if (kind == u"fifo") {
#ifndef Q_OS_WIN
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
#endif
        } else {
            QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
        }
        const auto unchanged = [&] {
            const QFileInfo info(path);
            return kind == u"huge" ? info.size() == (qint64(300) << 20)
                                   : info.exists() && !info.isFile();
        };

        QString said;
        if (file == u"talmero.ini") {
            const std::unique_ptr<QSettings> settings = UserSettings::open();
            QCOMPARE(settings->value(QStringLiteral("Spelling/Language"), 7).toInt(), 7);
            settings->setValue(QStringLiteral("Spelling/Language"), QStringLiteral("xx"));
            settings->sync();
            said = UserSettings::refusal();
        } else {
            const std::shared_ptr<SpellDictionary> dictionary =
                SpellDictionary::load(aff, dic, QStringLiteral("xx"), &said);
            QCOMPARE(bool(dictionary), file == u"words.txt");
            if (dictionary) {
                QVERIFY(dictionary->isCorrect(QStringLiteral("hello")));
                // A list too large to read still takes a word at its end.
                if (kind != u"huge")
                    QVERIFY(dictionary->addWord(QStringLiteral("wurd"))
                                .contains(QDir::toNativeSeparators(path)));
            }
        }
        QVERIFY2(said.contains(QDir::toNativeSeparators(path)), qPrintable(said));
        QVERIFY(unchanged());
        QFile::remove(path);
    }
};

QTEST_MAIN(TestSpelling)
#include "test_spelling.moc"
