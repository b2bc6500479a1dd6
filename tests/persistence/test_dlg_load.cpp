#include "document/dialog_edits.h"
#include "stream_builder.h"

#include "document/dialog_tree.h"
#include "document/node_text.h"
#include "document/tree_listing.h"
#include "document/tree_observer.h"
#include "persistence/dlg_file.h"
#include "persistence/dlg_reader.h"
#include "persistence/dlg_tree_builder.h"
#include "persistence/dlg_writer.h"
#include "platform/app_error.h"
#include "test_files.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace StreamBuilder;

namespace {

// Every node as "level text" with a "*" for bold: what the tests compare.
QStringList shape(const DialogTree &tree)
{
    QStringList lines;
    for (int i = 0; i < tree.count(); ++i) {
        const DialogNode *n = tree.nodeAt(i);
        lines << QStringLiteral("%1 %2%3")
                     .arg(n->level())
                     .arg(QString::fromLatin1(n->text()),
                          n->isBold() ? QStringLiteral("*") : QString());
    }
    return lines;
}

// What reading the records one by one gives, told the plain way: a full renumbering pass over
// every node before each creation, the node's text given right after, and the clean-up at the
// end. Slow, and obviously right.
struct Reference
{
    struct Node
    {
        int level;
        QByteArray text;
        bool bold = false;
    };
    std::vector<Node> nodes;
    int dialogCount = 0;

    explicit Reference(const DlgRecordList &records)
    {
        for (const DlgRecord &r : records) {
            int counter = 0;
            for (Node &n : nodes) {
                if (n.text.size() >= 2 && n.text[0] == 'D' && n.text[1] == 'i') {
                    n.text = "Dialog" + QByteArray::number(++counter);
                    n.bold = true;
                } else if (n.text == "Root") {
                    n.bold = true;
                }
            }
            dialogCount = counter;
            nodes.push_back({r.level, r.text});
        }
        std::vector<Node> kept;
        int removedLevel = -1;
        for (const Node &n : nodes) {
            if (removedLevel >= 0 && n.level > removedLevel)
                continue;
            removedLevel = -1;
            if (n.text.startsWith("Delete") || n.text.startsWith("Set") ||
                n.text.startsWith("Call")) {
                removedLevel = n.level;
                continue;
            }
            kept.push_back(n);
        }
        nodes = kept;
    }

    QStringList shape() const
    {
        QStringList lines;
        for (const Node &n : nodes)
            lines << QStringLiteral("%1 %2%3").arg(n.level).arg(
                QString::fromLatin1(n.text), n.bold ? QStringLiteral("*") : QString());
        return lines;
    }
};

class AdditionRecorder : public TreeObserver
{
public:
    QList<QByteArray> added;
    void nodeAdded(DialogNode *node) override { added << node->text(); }
};

} // namespace

class TestDlgLoad : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString path(const char *name) const { return m_dir.filePath(QLatin1String(name)); }

    // A document with some content, to see that a failed read leaves it alone.
    static void fillDocument(DialogTree &tree)
    {
        DialogNode *root = tree.addChild(nullptr, NodeText::root());
        tree.setImageIndex(root, 3);
        DialogEdits(tree).addTextDialog(root, "Old", DialogEdits::Speaker::Entity);
    }

private slots:
    void savedFileReopensAsTheSameTree()
    {
        DialogTree tree;
        fillDocument(tree);
        DialogNode *extra = tree.addChild(tree.lastTopLevel(), "Goto = 1");
        tree.setRecord(extra, 0, 0, -1, -1, 4242);
        DlgFile::save(tree, path("a.dlg"), {640, 480});
        const QByteArray first = TestFiles::read(path("a.dlg"));

        DialogTree loaded;
        DlgFile::load(loaded, path("a.dlg"));
        QCOMPARE(TreeListing::outline(loaded), TreeListing::outline(tree));
        QCOMPARE(loaded.nodeAt(5)->data(), 4242u);
        DlgFile::save(loaded, path("b.dlg"), {640, 480});
        QCOMPARE(TestFiles::read(path("b.dlg")), first);
    }

    void loadRenumbersAsSequentialPassesDo()
    {
        const QList<QByteArray> pool = {"Root",      "Dialog5",   "Di",         "Display",
                                        "D",         "",          "Dx",         "Type = Text",
                                        "Set a = 1", "Call = f",  "Delete = 2", "Goto = 3",
                                        "Settings",  "set lower", "Choice = 1", "Text = t"};
        QRandomGenerator random(20261208);
        for (int round = 0; round < 200; ++round) {
            DlgRecordList records;
            const int count = 1 + int(random.bounded(40));
            for (int i = 0; i < count; ++i) {
                DlgRecord r;
                r.level = records.empty() ? 0 : int(random.bounded(records.back().level + 2));
                r.text = pool[random.bounded(int(pool.size()))];
                records.push_back(r);
            }
            DlgRecordList stored = records;
            TestFiles::write(path("random.dlg"), DlgWriter::stream(stored, {}));
            DialogTree tree;
            DlgFile::load(tree, path("random.dlg"));
            const Reference expected(records);
            QCOMPARE(shape(tree), expected.shape());
            QCOMPARE(tree.DialogCount(), expected.dialogCount);
        }
    }

    void lastNodeReadIsNotRenumbered()
    {
        TestFiles::write(path("last.dlg"),
                         stream(itemsData(block(3, {{"Root", 0, 3}, {"Dialog9"}, {"Dialog9"}}))));
        DialogTree tree;
        DlgFile::load(tree, path("last.dlg"));
        QCOMPARE(shape(tree), (QStringList{QStringLiteral("0 Root*"), QStringLiteral("0 Dialog1*"),
                                           QStringLiteral("0 Dialog9")}));
        QCOMPARE(tree.DialogCount(), 1);
    }

    void childrenAreAnnouncedBeforeTheirParent()
    {
        DialogTree tree;
        AdditionRecorder recorder;
        tree.addObserver(&recorder);
        DlgRecordList records;
        for (auto [level, text] : std::initializer_list<std::pair<int, const char *>>{
                 {0, "Root"}, {1, "Config = c"}, {0, "A"}, {1, "B"}, {2, "C"}, {1, "D"}, {0, "E"}})
            records.push_back({level, 0, 0, -1, -1, 0, text});
        DlgTreeBuilder::build(tree, records);
        QCOMPARE(recorder.added,
                 (QList<QByteArray>{"Config = c", "Root", "C", "B", "D", "A", "E"}));
        tree.addChild(nullptr, "F");
        QCOMPARE(recorder.added.last(), QByteArray("F"));
        tree.removeObserver(&recorder);
    }

    void failedReadLeavesTheDocument_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("error");
        QTest::newRow("record past the block")
            << stream(itemsData(block(2, {{"Root", 0, 3}}) + int32(40)))
            << QStringLiteral("Error reading TreeView1.Items.Data: Stream read error");
        QTest::newRow("bad value after the node block")
            << stream(itemsData(block(1, {{"Root", 0, 3}})) + entry("Colour", int8Value(0)))
            << QStringLiteral("Error reading TreeView1.Colour: Property Colour does not exist");
        QTest::newRow("file ends after the node block")
            << stream(itemsData(block(1, {{"Root", 0, 3}}))).chopped(2)
            << QStringLiteral("Stream read error");
        QTest::newRow("not a dialog file")
            << QByteArray("MZ\x90 something else") << QStringLiteral("Invalid stream format");
    }
    void failedReadLeavesTheDocument()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, error);
        TestFiles::write(path("bad.dlg"), bytes);
        DialogTree tree;
        fillDocument(tree);
        tree.renumberDialogs();
        const QStringList before = shape(tree);
        const int count = tree.DialogCount();
        try {
            DlgFile::load(tree, path("bad.dlg"));
            QFAIL("no error");
        } catch (const AppError &e) {
            QCOMPARE(e.text(), error);
        }
        QCOMPARE(shape(tree), before);
        QCOMPARE(tree.DialogCount(), count);
    }

    void missingFileCannotBeOpened()
    {
        DialogTree tree;
        fillDocument(tree);
        const QString missing = path("nothing.dlg");
        try {
            DlgFile::load(tree, missing);
            QFAIL("no error");
        } catch (const AppError &e) {
            QVERIFY2(e.text().startsWith(QStringLiteral("Cannot open file \"%1\". ")
                                             .arg(QDir::toNativeSeparators(missing))),
                     qPrintable(e.text()));
        }
        QCOMPARE(tree.count(), 5);
    }

    void streamWithoutNodesKeepsTheTreeAndCleansIt()
    {
        TestFiles::write(path("bare.dlg"), stream(entry("Width", int8Value(9))));
        DialogTree tree;
        fillDocument(tree);
        DialogNode *set = tree.addChild(tree.lastTopLevel(), "Set Short a = 1");
        tree.addChild(set, "Goto = 1");
        DlgFile::load(tree, path("bare.dlg"));
        QCOMPARE(tree.count(), 5);
        QCOMPARE(tree.nodeAt(4)->text(), QByteArray("Text = Old"));
    }

    void zeroTopLevelNodesLeavesAnEmptyTree()
    {
        TestFiles::write(path("zero.dlg"), stream(itemsData(int32(0))));
        DialogTree tree;
        fillDocument(tree);
        tree.renumberDialogs();
        const int dialogs = tree.DialogCount();
        QVERIFY(dialogs > 0);
        DlgFile::load(tree, path("zero.dlg"));
        QCOMPARE(tree.count(), 0);
        // No node was created, so no renumbering pass counted the dialogs anew.
        QCOMPARE(tree.DialogCount(), dialogs);
        QVERIFY(!DlgWriter::stream(DlgWriter::records(tree), {}).contains("Items.Data"));
    }

    void cleanUpRemovesActions_data()
    {
        QTest::addColumn<QByteArray>("listing");
        QTest::addColumn<QByteArray>("kept");
        const QByteArray dialog = "Root\nDialog1\n  Type = Text\n  Speaker = Player\n  Text = Hi\n";
        QTest::newRow("actions with children")
            << dialog + "  Set Short a = 1\n    Goto = 9\n  Call = f\n  Goto = 2\n  Delete = 1\n"
            << dialog + "  Goto = 2\n";
        QTest::newRow("leading letters only")
            << QByteArray("Root\nSettings\nCalling\nDeleted\nset x\ncall y\nGoto = 1\n")
            << QByteArray("Root\nset x\ncall y\nGoto = 1\n");
        QTest::newRow("nested matches")
            << QByteArray("Root\nSet a\n  Call = b\n    Delete = 1\n") << QByteArray("Root\n");
        QTest::newRow("many matches")
            << QByteArray("Root\n") + QByteArray("Call = x\n  Set y\n").repeated(200) + "Goto = 1\n"
            << QByteArray("Root\nGoto = 1\n");
    }
    void cleanUpRemovesActions()
    {
        QFETCH(QByteArray, listing);
        QFETCH(QByteArray, kept);
        DialogTree tree;
        std::vector<DialogNode *> open;
        for (const QByteArray &line : listing.split('\n')) {
            if (line.isEmpty())
                continue;
            qsizetype blanks = 0;
            while (line[blanks] == ' ')
                ++blanks;
            open.resize(size_t(blanks / 2));
            open.push_back(tree.addChild(open.empty() ? nullptr : open.back(), line.mid(blanks)));
        }
        DlgFile::removeActionsOnLoad(tree);
        QCOMPARE(TreeListing::outline(tree), kept);
    }
};

QTEST_APPLESS_MAIN(TestDlgLoad)

#include "test_dlg_load.moc"
