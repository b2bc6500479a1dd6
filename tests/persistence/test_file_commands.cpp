#include "document/node_text.h"
#include "document/tree_listing.h"
#include "editing/placement_window.h"
#include "persistence/dlg_reader.h"
#include "persistence/dlg_writer.h"
#include "persistence/file_commands.h"
#include "persistence/recent_files.h"
#include "persistence/recent_menu.h"
#include "program/talmero_app.h"
#include "recording_shell.h"
#include "scripted_prompter.h"
#include "test_files.h"
#include "test_program.h"
#include "windows/dialog_tree_model.h"
#include "windows/dialog_tree_view.h"
#include "windows/main_window.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QScrollBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <memory>

namespace {

const QString kSaveQuestion =
    QStringLiteral("Dialog has been changed!\n\rDo you want to save your dialog file?");
const QString kContinueQuestion =
    QStringLiteral("Dialog has been changed!\n\rDo you want to continue without saving?");

// The whole program against a temporary program folder, with scripted prompts; documents are
// kept in a folder of their own.
struct Program : TestProgram
{
    QTemporaryDir documents;

    QString doc(const QString &name) const { return documents.filePath(name); }
    QString recentPath() const { return folder.filePath(QStringLiteral("Recent.txt")); }
    QStringList recent() { return app->fileCommands().recentMenu().list().captions(); }

    // A text dialog with a variable operation below it and a jump, as the commands build them.
    void addStory()
    {
        DialogTree &tree = mainWindow().document();
        DialogNode *dialog = addTextDialog(tree, nullptr, "Hello");
        tree.addChild(tree.addChild(dialog, "Set Short gold = 1"), "Goto = 7");
        tree.addChild(dialog, NodeText::call("Open, 1"));
        tree.addChild(dialog, NodeText::gotoDialog(1));
    }

    // Saves the document under name through Save As.
    void saveAs(const QString &name)
    {
        prompter.fileAnswers = {name};
        mainWindow().saveAsAction->trigger();
    }
};

const QByteArray kStoryAfterLoad = "Root\nDialog1\n  Type = Text\n  Speaker = Player\n"
                                   "  Text = Hello\n  Goto = 1\n";

} // namespace

class TestFileCommands : public QObject
{
    Q_OBJECT

private slots:
    void saveWithoutNameAsksAndKeepsTheName()
    {
        Program p;
        p.start();
        p.mainWindow().Modified = true;
        p.prompter.fileAnswers = {p.doc(QStringLiteral("story"))};
        p.mainWindow().saveAction->trigger();
        QCOMPARE(p.prompter.fileRequests.size(), 1);
        QCOMPARE(p.prompter.fileRequests[0].name, QStringLiteral("SaveDialog1"));
        QCOMPARE(p.prompter.fileRequests[0].filterPattern, QStringLiteral("*.dlg"));
        QVERIFY(TestFiles::read(p.doc(QStringLiteral("story"))).startsWith("TPF0"));
        QCOMPARE(p.mainWindow().windowTitle(),
                 QStringLiteral("Talmero [") +
                     QDir::toNativeSeparators(p.doc(QStringLiteral("story"))) +
                     QStringLiteral("]"));
        QCOMPARE(p.mainWindow().CurrentFileName, p.doc(QStringLiteral("story")));
        QVERIFY(!p.mainWindow().Modified);
        QCOMPARE(TestFiles::read(p.recentPath()),
                 QDir::toNativeSeparators(p.doc(QStringLiteral("story"))).toLocal8Bit() +
                     "\r\nempty\r\nempty\r\nempty\r\nempty\r\n");

        // A second Save writes to the same file without asking.
        p.mainWindow().saveAction->trigger();
        QCOMPARE(p.prompter.fileRequests.size(), 1);
        QVERIFY(p.prompter.confirmations().isEmpty());
    }

    void savedSizeIsTheTreeControls()
    {
        Program p;
        p.start();
        p.mainWindow().show();
        QVERIFY(QTest::qWaitForWindowExposed(&p.mainWindow()));
        p.saveAs(p.doc(QStringLiteral("shown.dlg")));
        const QByteArray bytes = TestFiles::read(p.doc(QStringLiteral("shown.dlg")));
        QVERIFY(bytes.contains(QByteArray("\x05Width\x03\xd9\x01\x06Height\x03\x29\x02", 19)));
    }

    void saveAsAddsTheExtension_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("saved");
        QTest::newRow("no extension") << "story"
                                      << "story.dlg";
        QTest::newRow("other extension") << "story.txt"
                                         << "story.txt.dlg";
        QTest::newRow("upper case") << "story.DLG"
                                    << "story.DLG.dlg";
        QTest::newRow("mixed case") << "story.Dlg"
                                    << "story.Dlg.dlg";
        QTest::newRow("dlg") << "story.dlg"
                             << "story.dlg";
        QTest::newRow("dot in the folder only") << "my.dlg/story"
                                                << "my.dlg/story.dlg";
    }
    void saveAsAddsTheExtension()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, saved);
        Program p;
        p.start();
        QDir(p.documents.path()).mkdir(QStringLiteral("my.dlg"));
        p.saveAs(p.doc(chosen));
        QVERIFY(QFile::exists(p.doc(saved)));
        QCOMPARE(p.mainWindow().CurrentFileName, p.doc(saved));
        QCOMPARE(p.mainWindow().windowTitle(), QStringLiteral("Talmero [") +
                                                   QDir::toNativeSeparators(p.doc(saved)) +
                                                   QStringLiteral("]"));
        QCOMPARE(p.recent().first(), QDir::toNativeSeparators(p.doc(saved)));
        // The dialog opens on the extended name next time.
        QCOMPARE(p.prompter.keptFileNames.last(),
                 qMakePair(QStringLiteral("SaveDialog1"), p.doc(saved)));
    }

    void openAsksAfterTheFileDialog()
    {
        Program p;
        p.start();
        p.addStory();
        p.saveAs(p.doc(QStringLiteral("story.dlg")));
        p.prompter.clear();

        p.app->fileCommands().newDocument();
        p.mainWindow().Modified = true;
        p.prompter.fileAnswers = {p.doc(QStringLiteral("story.dlg"))};
        p.prompter.confirmAnswers = {false};
        p.mainWindow().openAction->trigger();
        QCOMPARE(p.prompter.shown.size(), 2);
        QCOMPARE(p.prompter.shown[0].text, QStringLiteral("OpenDialog1"));
        QCOMPARE(p.prompter.shown[1].text, kContinueQuestion);
        QCOMPARE(TreeListing::outline(p.mainWindow().document()), QByteArray("Root\n"));
        QCOMPARE(p.mainWindow().windowTitle(), QStringLiteral("Talmero"));
        QVERIFY(p.mainWindow().Modified);

        // The placement list still shows the choices of a tree that is about to go.
        DialogTree &tree = p.mainWindow().document();
        tree.addChild(tree.addChild(tree.addChild(nullptr, "Dialog1"), "Choice = 1"), "Text = a");
        p.app->placementWindow().fillChoiceList();
        QCOMPARE(p.app->placementWindow().choiceList->rowCount(), 1);
        p.prompter.fileAnswers = {p.doc(QStringLiteral("story.dlg"))};
        p.prompter.confirmAnswers = {true};
        p.mainWindow().openAction->trigger();
        QCOMPARE(TreeListing::outline(p.mainWindow().document()), kStoryAfterLoad);
        QCOMPARE(p.mainWindow().windowTitle(),
                 QStringLiteral("Talmero [") +
                     QDir::toNativeSeparators(p.doc(QStringLiteral("story.dlg"))) +
                     QStringLiteral("]"));
        QCOMPARE(p.mainWindow().CurrentFileName, p.doc(QStringLiteral("story.dlg")));
        QVERIFY(!p.mainWindow().Modified);
        QCOMPARE(p.app->placementWindow().choiceList->rowCount(), 0);
        QVERIFY(p.mainWindow().document().nodeAt(0)->isBold());
        QVERIFY(p.prompter.errors().isEmpty());
    }

    void failedOpenChangesNothing()
    {
        Program p;
        p.start();
        p.addStory();
        p.saveAs(p.doc(QStringLiteral("story.dlg")));
        QByteArray broken = TestFiles::read(p.doc(QStringLiteral("story.dlg")));
        broken.chop(40);
        TestFiles::write(p.doc(QStringLiteral("broken.dlg")), broken);
        const QByteArray before = TreeListing::outline(p.mainWindow().document());

        p.prompter.fileAnswers = {p.doc(QStringLiteral("broken.dlg"))};
        p.mainWindow().openAction->trigger();
        QCOMPARE(
            p.prompter.errors(),
            QStringList{QStringLiteral("Error reading TreeView1.Items.Data: Stream read error")});
        QCOMPARE(TreeListing::outline(p.mainWindow().document()), before);
        QCOMPARE(p.mainWindow().CurrentFileName, p.doc(QStringLiteral("story.dlg")));
        QCOMPARE(p.mainWindow().windowTitle(),
                 QStringLiteral("Talmero [") +
                     QDir::toNativeSeparators(p.doc(QStringLiteral("story.dlg"))) +
                     QStringLiteral("]"));
        QCOMPARE(p.recent().count(RecentFiles::emptySlot()), 4);

        // Save then still writes the document as it was to its own file.
        p.mainWindow().saveAction->trigger();
        QCOMPARE(TestFiles::read(p.doc(QStringLiteral("story.dlg"))).size(), broken.size() + 40);
    }

    // What the reader accepts, the editor shows, down to the deepest node; a file one level
    // deeper is refused and the document stays.
    void theDeepestFileTheReaderTakesOpensExpanded()
    {
        const auto chain = [](int deepest) {
            DlgRecordList records;
            for (int level = 0; level <= deepest; ++level)
                records.push_back({level, 0, 0, -1, -1, 0, level % 2 ? "Choice = 1" : "Dialog"});
            return DlgWriter::stream(records, {});
        };
        Program p;
        p.start();
        p.mainWindow().show();
        TestFiles::write(p.doc(QStringLiteral("deepest.dlg")), chain(DlgReader::kDeepestLevel));
        TestFiles::write(p.doc(QStringLiteral("deeper.dlg")), chain(DlgReader::kDeepestLevel + 1));

        p.prompter.fileAnswers = {p.doc(QStringLiteral("deepest.dlg"))};
        p.mainWindow().openAction->trigger();
        QVERIFY(p.prompter.errors().isEmpty());
        DialogTree &tree = p.mainWindow().document();
        QCOMPARE(tree.count(), DlgReader::kDeepestLevel + 1);
        DialogNode *deepest = tree.nodeAt(tree.count() - 1);
        p.mainWindow().selectNode(deepest);
        QApplication::processEvents();
        DialogTreeView &view = *p.mainWindow().treeView;
        const QModelIndex index = view.currentIndex();
        QCOMPARE(view.dialogModel()->node(index), deepest);
        QVERIFY(shownOpen(view, deepest->parent()));
        // Scrolled into view from top to bottom, its levels' indentation in from the left.
        const QRect shown = view.visualRect(index);
        QVERIFY(shown.top() >= 0 && shown.bottom() <= view.viewport()->height());
        QVERIFY(shown.left() + view.horizontalScrollBar()->value() >=
                DlgReader::kDeepestLevel * view.indentation());
        QVERIFY(!view.grab().isNull());

        const QByteArray before = TreeListing::outline(tree);
        p.prompter.fileAnswers = {p.doc(QStringLiteral("deeper.dlg"))};
        p.prompter.confirmAnswers = {true}; // selecting marked the document changed
        p.mainWindow().openAction->trigger();
        QCOMPARE(p.prompter.errors(),
                 QStringList{QStringLiteral("Error reading TreeView1.Items.Data: ") +
                             DlgReader::tooDeepText()});
        QCOMPARE(TreeListing::outline(tree), before);
    }

    void newAsksToSaveChanges()
    {
        Program p;
        p.start();
        p.addStory();
        p.mainWindow().Modified = true;
        const QByteArray story = TreeListing::outline(p.mainWindow().document());

        // Yes without a file name, then Cancel: New is abandoned.
        p.prompter.confirmAnswers = {true};
        p.prompter.fileAnswers = {std::nullopt};
        p.mainWindow().newAction->trigger();
        QCOMPARE(p.prompter.confirmations(), QStringList{kSaveQuestion});
        QCOMPARE(TreeListing::outline(p.mainWindow().document()), story);
        QCOMPARE(p.mainWindow().windowTitle(), QStringLiteral("Talmero Basic"));
        QVERIFY(p.mainWindow().Modified);

        // Yes and a name: the document is saved there, without a recent entry.
        p.prompter.confirmAnswers = {true};
        p.prompter.fileAnswers = {p.doc(QStringLiteral("kept"))};
        p.mainWindow().newAction->trigger();
        QVERIFY(TestFiles::read(p.doc(QStringLiteral("kept"))).contains("Set Short gold = 1"));
        QCOMPARE(TreeListing::outline(p.mainWindow().document()), QByteArray("Root\n"));
        QVERIFY(p.mainWindow().document().nodeAt(0)->isBold());
        QCOMPARE(p.mainWindow().document().nodeAt(0)->imageIndex(), 3);
        QCOMPARE(p.mainWindow().windowTitle(), QStringLiteral("Talmero"));
        QVERIFY(p.mainWindow().CurrentFileName.isEmpty());
        QVERIFY(!p.mainWindow().Modified);
        QCOMPARE(p.recent().count(RecentFiles::emptySlot()), 5);

        // No: nothing is saved.
        p.addStory();
        p.mainWindow().Modified = true;
        p.prompter.confirmAnswers = {false};
        p.mainWindow().newAction->trigger();
        QCOMPARE(TreeListing::outline(p.mainWindow().document()), QByteArray("Root\n"));
    }

    void failedSaveKeepsTheChosenNameOnly()
    {
        Program p;
        p.start();
        p.addStory();
        p.mainWindow().Modified = true;
        const QByteArray story = TreeListing::outline(p.mainWindow().document());
        const QString lost = p.doc(QStringLiteral("missing/story.dlg"));
        const QString cannotCreate = QStringLiteral("Cannot create file \"") +
                                     QDir::toNativeSeparators(lost) + QStringLiteral("\". ");

        // Save As: the title and the file name already name the new file.
        p.saveAs(p.doc(QStringLiteral("missing/story")));
        QCOMPARE(p.prompter.errors().size(), 1);
        QVERIFY2(p.prompter.errors()[0].startsWith(cannotCreate),
                 qPrintable(p.prompter.errors()[0]));
        QCOMPARE(p.mainWindow().CurrentFileName, lost);
        QCOMPARE(p.mainWindow().windowTitle(), QStringLiteral("Talmero [") +
                                                   QDir::toNativeSeparators(lost) +
                                                   QStringLiteral("]"));
        QVERIFY(p.mainWindow().Modified);
        QCOMPARE(p.recent().count(RecentFiles::emptySlot()), 5);

        // New with a file name: the save fails and the tree stays.
        p.prompter.confirmAnswers = {true};
        p.mainWindow().newAction->trigger();
        QCOMPARE(p.prompter.errors().size(), 2);
        QVERIFY(p.prompter.errors()[1].startsWith(cannotCreate));
        QCOMPARE(TreeListing::outline(p.mainWindow().document()), story);
        QCOMPARE(p.mainWindow().windowTitle(), QStringLiteral("Talmero [") +
                                                   QDir::toNativeSeparators(lost) +
                                                   QStringLiteral("]"));
        QVERIFY(p.mainWindow().Modified);

        // New without a file name: the chosen name shows, the tree stays.
        Program q;
        q.start();
        q.addStory();
        q.mainWindow().Modified = true;
        q.prompter.confirmAnswers = {true};
        q.prompter.fileAnswers = {q.doc(QStringLiteral("missing/new"))};
        q.mainWindow().newAction->trigger();
        QCOMPARE(q.prompter.errors().size(), 1);
        QCOMPARE(TreeListing::outline(q.mainWindow().document()), story);
        QCOMPARE(q.mainWindow().CurrentFileName, q.doc(QStringLiteral("missing/new")));
        QCOMPARE(q.mainWindow().windowTitle(),
                 QStringLiteral("Talmero [") +
                     QDir::toNativeSeparators(q.doc(QStringLiteral("missing/new"))) +
                     QStringLiteral("]"));
        QVERIFY(q.mainWindow().Modified);
        QCOMPARE(q.recent().count(RecentFiles::emptySlot()), 5);
    }

    void saveWritesAndListsEvenWithoutChanges()
    {
        Program p;
        p.start();
        p.mainWindow().CurrentFileName = p.doc(QStringLiteral("named.dlg"));
        p.mainWindow().saveAction->trigger();
        QVERIFY(p.prompter.shown.isEmpty());
        QVERIFY(TestFiles::read(p.doc(QStringLiteral("named.dlg"))).startsWith("TPF0"));
        QCOMPARE(p.recent().first(), QDir::toNativeSeparators(p.doc(QStringLiteral("named.dlg"))));
        QCOMPARE(p.mainWindow().windowTitle(), QStringLiteral("Talmero Basic"));
    }

    void newAfterOpenForgetsTheFile()
    {
        Program p;
        p.start();
        p.addStory();
        p.saveAs(p.doc(QStringLiteral("story.dlg")));
        const QByteArray before = TestFiles::read(p.doc(QStringLiteral("story.dlg")));
        p.mainWindow().newAction->trigger();
        p.prompter.clear();
        p.prompter.fileAnswers = {std::nullopt};
        p.mainWindow().saveAction->trigger();
        QCOMPARE(p.prompter.fileRequests.size(), 1);
        QCOMPARE(p.prompter.fileRequests[0].name, QStringLiteral("SaveDialog1"));
        QCOMPARE(TestFiles::read(p.doc(QStringLiteral("story.dlg"))), before);
        QVERIFY(p.mainWindow().CurrentFileName.isEmpty());
        QCOMPARE(p.mainWindow().windowTitle(), QStringLiteral("Talmero"));
    }

    void saveChangesButtonOffersToSave()
    {
        Program p;
        p.start();
        p.mainWindow().saveChangesButton->click();
        QVERIFY(p.prompter.shown.isEmpty());

        p.mainWindow().Modified = true;
        p.prompter.confirmAnswers = {false};
        p.mainWindow().saveChangesButton->click();
        QCOMPARE(p.prompter.confirmations(), QStringList{kSaveQuestion});
        QVERIFY(p.mainWindow().Modified);

        p.prompter.confirmAnswers = {true};
        p.prompter.fileAnswers = {p.doc(QStringLiteral("saved.dlg"))};
        p.mainWindow().saveChangesButton->click();
        QVERIFY(QFile::exists(p.doc(QStringLiteral("saved.dlg"))));
        QVERIFY(!p.mainWindow().Modified);
    }

    void commandLineFileOpensAtStart_data()
    {
        QTest::addColumn<bool>("withRecentList");
        QTest::newRow("with a recent list") << true;
        QTest::newRow("first run, no recent list") << false;
    }
    void commandLineFileOpensAtStart()
    {
        QFETCH(bool, withRecentList);
        Program p;
        p.start();
        p.addStory();
        p.saveAs(p.doc(QStringLiteral("story.dlg")));
        if (!withRecentList)
            QFile::remove(p.recentPath());

        Program second;
        second.start({p.doc(QStringLiteral("story.dlg"))});
        MainWindow &form = second.mainWindow();
        QCOMPARE(TreeListing::outline(form.document()), kStoryAfterLoad);
        QCOMPARE(form.windowTitle(),
                 QStringLiteral("Talmero [") +
                     QDir::toNativeSeparators(p.doc(QStringLiteral("story.dlg"))) +
                     QStringLiteral("]"));
        QCOMPARE(form.CurrentFileName, p.doc(QStringLiteral("story.dlg")));
        QVERIFY(!form.Modified);
        QCOMPARE(second.recent().first(),
                 QDir::toNativeSeparators(p.doc(QStringLiteral("story.dlg"))));
        QVERIFY(second.prompter.shown.isEmpty());
        QVERIFY(form.close());
    }

    void missingCommandLineFileIsIgnored()
    {
        Program p;
        p.start({p.doc(QStringLiteral("missing.dlg"))});
        QCOMPARE(p.mainWindow().windowTitle(), QStringLiteral("Talmero Basic"));
        QCOMPARE(TreeListing::outline(p.mainWindow().document()), QByteArray("Root\n"));
        QVERIFY(p.prompter.shown.isEmpty());
    }

    void unreadableCommandLineFileShowsTheError()
    {
        Program p;
        TestFiles::write(p.doc(QStringLiteral("junk.dlg")), "junk");
        p.start({p.doc(QStringLiteral("junk.dlg"))});
        QCOMPARE(p.prompter.errors(), QStringList{QStringLiteral("Invalid stream format")});
        QCOMPARE(p.mainWindow().windowTitle(), QStringLiteral("Talmero Basic"));
        QVERIFY(p.mainWindow().CurrentFileName.isEmpty());
    }

    void recentEntriesShowAndOpenTheList()
    {
        Program first;
        first.start();
        first.addStory();
        QDir(first.documents.path()).mkdir(QStringLiteral("R&D"));
        const QString ampersand = first.doc(QStringLiteral("R&D/story.dlg"));
        first.saveAs(ampersand);
        first.saveAs(first.doc(QStringLiteral("plain.dlg")));

        Program p;
        QFile::copy(first.recentPath(), p.recentPath());
        p.start();
        MainWindow &form = p.mainWindow();
        QCOMPARE(form.recentFileActions[0]->text(),
                 QDir::toNativeSeparators(first.doc(QStringLiteral("plain.dlg"))));
        QCOMPARE(form.recentFileActions[1]->text(),
                 QDir::toNativeSeparators(first.doc(QStringLiteral("R&&D/story.dlg"))));
        QVERIFY(form.recentFileActions[1]->isEnabled());
        QCOMPARE(form.recentFileActions[2]->text(), QStringLiteral("empty"));
        QVERIFY(!form.recentFileActions[2]->isEnabled());

        form.recentFileActions[0]->trigger();
        QCOMPARE(TreeListing::outline(form.document()), kStoryAfterLoad);
        QCOMPARE(form.windowTitle(),
                 QStringLiteral("Talmero [") +
                     QDir::toNativeSeparators(first.doc(QStringLiteral("plain.dlg"))) +
                     QStringLiteral("]"));
        QCOMPARE(form.CurrentFileName,
                 QDir::toNativeSeparators(first.doc(QStringLiteral("plain.dlg"))));
        QVERIFY(!form.Modified);
        QCOMPARE(TestFiles::read(p.recentPath()), TestFiles::read(first.recentPath()));

        // The "&" is taken out of the path before the file is opened.
        form.recentFileActions[1]->trigger();
        const QString stripped =
            QDir::toNativeSeparators(first.doc(QStringLiteral("RD/story.dlg")));
        QCOMPARE(p.prompter.errors().size(), 1);
        QVERIFY2(p.prompter.errors()[0].startsWith(QStringLiteral("Cannot open file \"") +
                                                   stripped + QStringLiteral("\". ")),
                 qPrintable(p.prompter.errors()[0]));
        QCOMPARE(form.CurrentFileName,
                 QDir::toNativeSeparators(first.doc(QStringLiteral("plain.dlg"))));
    }

    void recentEntryWithChangesAsksFirst()
    {
        Program p;
        p.start();
        p.addStory();
        p.saveAs(p.doc(QStringLiteral("story.dlg")));
        p.app->fileCommands().newDocument();
        p.mainWindow().Modified = true;

        p.prompter.confirmAnswers = {false};
        p.mainWindow().recentFileActions[0]->trigger();
        QCOMPARE(p.prompter.confirmations(), QStringList{kContinueQuestion});
        QCOMPARE(TreeListing::outline(p.mainWindow().document()), QByteArray("Root\n"));
        QVERIFY(p.mainWindow().Modified);

        p.prompter.confirmAnswers = {true};
        p.mainWindow().recentFileActions[0]->trigger();
        QCOMPARE(TreeListing::outline(p.mainWindow().document()), kStoryAfterLoad);
        QVERIFY(!p.mainWindow().Modified);
    }

    void unwritableRecentListKeepsModified()
    {
        Program p;
        QVERIFY(QDir(p.folder.path()).mkdir(QStringLiteral("Recent.txt")));
        p.start();
        // Reading it at start-up fails and is reported; start-up goes on.
        QCOMPARE(p.prompter.errors().size(), 1);
        QVERIFY(p.prompter.errors()[0].startsWith(QStringLiteral("Cannot open file \"") +
                                                  QDir::toNativeSeparators(p.recentPath())));
        p.mainWindow().Modified = true;
        p.prompter.fileAnswers = {p.doc(QStringLiteral("story.dlg"))};
        p.mainWindow().saveAction->trigger();
        QVERIFY(QFile::exists(p.doc(QStringLiteral("story.dlg"))));
        QCOMPARE(p.prompter.errors().size(), 2);
        QVERIFY(p.prompter.errors()[1].startsWith(QStringLiteral("Cannot create file \"") +
                                                  QDir::toNativeSeparators(p.recentPath())));
        QVERIFY(p.mainWindow().Modified);
        QCOMPARE(p.mainWindow().recentFileActions[0]->text(),
                 QDir::toNativeSeparators(p.doc(QStringLiteral("story.dlg"))));
    }
};

QTEST_MAIN(TestFileCommands)
#include "test_file_commands.moc"
