#include "document/dialog_tree.h"
#include "document/tree_journal.h"
#include "persistence/dlg_file.h"
#include "persistence/dlg_reader.h"
#include "persistence/dlg_tree_builder.h"
#include "persistence/dlg_writer.h"
#include "platform/ansi.h"
#include "platform/app_error.h"
#include "script/line_diff.h"
#include "script/script_apply.h"
#include "script/script_build.h"
#include "script/script_parser.h"
#include "script/script_writer.h"
#include "test_files.h"

#include <QBuffer>
#include <QDir>
#include <QRandomGenerator>
#include <QTest>

namespace {

// The file a script builds, and the errors met on the way.
QByteArray built(const QString &text, std::vector<ScriptError> *errors = nullptr)
{
    Script script = ScriptParser::parse(text);
    DlgRecordList nodes;
    if (script.errors.empty())
        nodes = ScriptBuild::storedNodes(script);
    if (errors)
        *errors = script.errors;
    return script.errors.empty() ? DlgWriter::stream(nodes, script.viewSize) : QByteArray();
}

QString scriptOf(const DlgRecordList &records, DlgFile::ViewSize size = {})
{
    return Ansi::toUnicode(ScriptWriter::write(records, size).text());
}

// Trees of every shape a file may hold: well-formed dialogs and choices, and among them nodes
// that fit no kind, stand where their kind may not, carry odd texts and record numbers, and
// hold children under actions.
DlgRecordList randomTree(QRandomGenerator &random)
{
    static const char *const kNodes[] = {
        "Goto = 3",
        "Goto = 0",
        "Goto = 12000",
        "Delete = 2",
        "Delete = 1 from 2",
        "Set Short gold = 50",
        "Set Short gold = x",
        "Set String n = a ",
        "Call = OpenDoor, 1",
        "Call",
        "Type = Text",
        "Speaker = Narrator",
        "Text = hi",
        "Choice = 01",
        "Dialog007",
        "Dialogue",
        "Di",
        "Root",
        "Config = x.ini",
        "",
        " lead",
        "\"quoted\"",
        "tab\there",
        "Dialog5",
        "@tree",
        "| bar",
        "1. not an answer",
        "Player: said",
    };
    static const char *const kTexts[] = {"Hello", "a: b: c", "trail ",  "",    "  two",
                                         "x\\ny", "caf\xe9", "ctl\x01", "\x81"};
    DlgRecordList nodes;
    const auto add = [&nodes](int level, const QByteArray &text, qint32 image = 0) {
        DlgRecord record;
        record.level = level;
        record.image = image;
        record.text = text;
        nodes.push_back(record);
    };
    const auto pick = [&random](const auto &list) {
        return QByteArray(list[random.bounded(int(std::size(list)))]);
    };
    if (random.bounded(6) > 0) {
        add(0, "Root", 3);
        if (random.bounded(2) == 0)
            add(1, "Config = " + pick(kTexts));
    }
    for (int n = random.bounded(1, 40); n > 0; --n) {
        const int level = nodes.empty() ? 0 : int(random.bounded(nodes.back().level + 2));
        const QByteArray label = "Dialog" + QByteArray::number(random.bounded(1, 30));
        switch (random.bounded(5)) {
        case 0:
        case 1:
            add(level, label, 1);
            add(level + 1, "Type = Text");
            add(level + 1, random.bounded(2) ? "Speaker = Player" : "Speaker = Entity");
            add(level + 1, "Text = " + pick(kTexts));
            break;
        case 2:
            add(level, label, 2);
            add(level + 1, "Choice = " + QByteArray::number(random.bounded(1, 4)));
            add(level + 2, "Text = " + pick(kTexts));
            break;
        default:
            add(level, pick(kNodes));
            break;
        }
    }
    for (DlgRecord &record : nodes) {
        if (random.bounded(12) == 0) {
            record.image = qint32(random.generate());
            record.selected = random.bounded(3) - 1;
            record.state = random.bounded(3) - 1;
            record.data = random.generate();
        }
        if (random.bounded(15) == 0)
            record.text = pick(kNodes);
    }
    return nodes;
}

} // namespace

class TestScriptFormat : public QObject
{
    Q_OBJECT

private slots:
    // Every file the tests hold that the reader takes goes to a script and back to the same
    // bytes.
    void everyStoredFileComesBack_data()
    {
        QTest::addColumn<QString>("file");
        for (const char *folder : {"/fuzz/corpus", "/tests/persistence/data", "/data/Examples"}) {
            const QDir dir(QStringLiteral(TALMERO_SOURCE_DIR) + QLatin1String(folder));
            for (const QString &name : dir.entryList({QStringLiteral("*.dlg")}, QDir::Files))
                QTest::newRow(qPrintable(name)) << dir.filePath(name);
        }
    }
    void everyStoredFileComesBack()
    {
        QFETCH(QString, file);
        DlgReader::Content content;
        try {
            content = DlgReader::readFile(file);
        } catch (const AppError &) {
            QSKIP("the reader refuses this file");
        }
        std::vector<ScriptError> errors;
        const QByteArray bytes = built(scriptOf(content.records, content.viewSize), &errors);
        QVERIFY2(errors.empty(), qPrintable(errors.empty() ? QString() : errors[0].reason));
        QCOMPARE(bytes, DlgWriter::stream(content.records, content.viewSize));
        // A file the program wrote comes back as it was.
        if (file.endsWith(QStringLiteral("Castle.dlg")) ||
            file.endsWith(QStringLiteral("root_only.dlg")))
            QCOMPARE(bytes, TestFiles::read(file));
    }

    void randomTreesComeBack()
    {
        const quint32 seed = QRandomGenerator::global()->generate();
        QRandomGenerator random(seed);
        for (int n = 0; n < 300; ++n) {
            const DlgRecordList tree = randomTree(random);
            const DlgFile::ViewSize size =
                n % 3 ? DlgFile::ViewSize() : DlgFile::ViewSize{int(random.generate()), n};
            const QString script = scriptOf(tree, size);
            std::vector<ScriptError> errors;
            const QByteArray bytes = built(script, &errors);
            QVERIFY2(errors.empty() && bytes == DlgWriter::stream(tree, size),
                     qPrintable(QStringLiteral("seed %1, tree %2:\n%3%4")
                                    .arg(seed)
                                    .arg(n)
                                    .arg(script, errors.empty() ? QString() : errors[0].reason)));
        }
    }

    // New dialogs without labels are numbered by their place, and the gotos and deletes follow
    // the lines that carried their numbers.
    void handWrittenScriptBuildsItsTree()
    {
        const QString script = QStringLiteral("Config = Configs/Example.ini\n"
                                              "Entity: Halt!\n"
                                              "\n"
                                              "Dialog7 choice\n"
                                              "  1. Friend\n"
                                              "    Entity: Pass.\n"
                                              "      Set Short gold = 50\n"
                                              "      Call = OpenDoor, 1\n"
                                              "  2. Foe\r\n"
                                              "    Dialog9 Entity: Then stay outside.\n"
                                              "      Delete = 1 from 7\n"
                                              "      Goto = 7\n"
                                              "Player: Fine, I will leave. \n"
                                              "  Goto = 9\n"
                                              "  Delete = 44\n");
        QByteArray file = built(script);
        QBuffer buffer(&file);
        buffer.open(QIODevice::ReadOnly);
        QCOMPARE(scriptOf(DlgReader(buffer).read().records),
                 QStringLiteral("Config = Configs/Example.ini\n"
                                "Dialog1 Entity: Halt!\n"
                                "Dialog2 choice\n"
                                "  1. Friend\n"
                                "    Dialog3 Entity: Pass.\n"
                                "      Set Short gold = 50\n"
                                "      Call = OpenDoor, 1\n"
                                "  2. Foe\n"
                                "    Dialog4 Entity: Then stay outside.\n"
                                "      Delete = 1 from 2\n"
                                "      Goto = 2\n"
                                "Dialog5 Player: Fine, I will leave. \n"
                                "  Goto = 4\n"
                                "  Delete = 44\n"));
    }

    void malformedLinesAreNamed_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("reason");
        QTest::newRow("speaker") << QStringLiteral("Dialog1 Narrator: hi") << 1
                                 << QStringLiteral("a speaker is Player or Entity");
        QTest::newRow("colon") << QStringLiteral("Player:hi") << 1
                               << QStringLiteral("one blank follows the speaker's colon");
        QTest::newRow("odd indentation") << QStringLiteral("Entity: a\n   Goto = 1") << 2
                                         << QStringLiteral("two blanks per level");
        QTest::newRow("too deep") << QStringLiteral("Entity: a\n\n    Goto = 1") << 3
                                  << QStringLiteral("more than one level below");
        QTest::newRow("value") << QStringLiteral("Entity: a\n  Set Short gold = abc") << 2
                               << QStringLiteral("a Short takes a whole number, digits only");
        QTest::newRow("place") << QStringLiteral("choice\n  Goto = 1") << 2
                               << QStringLiteral("a choice dialog holds only answers");
        QTest::newRow("character") << QStringLiteral("Entity: caf\u0142") << 1
                                   << Ansi::unrepresentableText(QStringLiteral("\u0142"));
        QTest::newRow("config") << QStringLiteral("Entity: a\nConfig = x") << 2
                                << QStringLiteral("Config = path stands on the first line");
        QTest::newRow("escape") << QStringLiteral("Entity: a\n  | \"\\q\"") << 2
                                << QStringLiteral("unknown escape");
        QTest::newRow("long") << QStringLiteral("Entity: a\nPlayer: ") + QString(250, u'x') << 2
                              << QStringLiteral("longer than the 255 bytes");
        QTest::newRow("size") << QStringLiteral("@size 10x10\nEntity: a") << 2
                              << QStringLiteral("@size WIDTHxHEIGHT stands on the last line");
    }
    void malformedLinesAreNamed()
    {
        QFETCH(QString, script);
        QFETCH(int, line);
        QFETCH(QString, reason);
        std::vector<ScriptError> errors;
        QVERIFY(built(script, &errors).isEmpty());
        QCOMPARE(errors.size(), size_t(1));
        QCOMPARE(errors[0].line, line);
        QVERIFY2(errors[0].reason.contains(reason), qPrintable(errors[0].reason));
    }

    // An apply changes what the lines changed and keeps the rest; one step takes it back to
    // the same bytes. A script it cannot apply leaves the tree as it was.
    void applyChangesOnlyWhatChanged()
    {
        DialogTree tree;
        DlgFile::read(tree, QStringLiteral(TALMERO_SOURCE_DIR "/data/Examples/Castle.dlg"));
        const QByteArray before = DlgWriter::stream(tree, {});
        DialogNode *castle = tree.nodeAt(9); // Dialog3, Then pass, friend.
        DialogNode *outside = tree.nodeAt(15);
        QCOMPARE(castle->text(), QByteArray("Dialog3"));
        QString script = scriptOf(DlgWriter::records(tree));

        for (const QString &wrong :
             {QStringLiteral("Dialog2 choice\n  x. y\n"), QStringLiteral("Dialog2 choice\n")}) {
            // A malformed line, and a goto whose dialog's line went (Dialog1's).
            QString changed = script;
            changed.replace(QStringLiteral("Dialog2 choice\n"), wrong);
            changed.remove(QStringLiteral("Dialog1 Entity: Halt! Who goes there?\n"));
            const Script read = ScriptParser::parse(changed);
            if (read.errors.empty())
                QCOMPARE(ScriptApply::apply(tree, read).size(), size_t(1));
            QCOMPARE(DlgWriter::stream(tree, {}), before);
        }

        script.replace(QStringLiteral("Then pass, friend."),
                       QStringLiteral("Then pass, my friend."));
        script.replace(QStringLiteral("Dialog2 choice"),
                       QStringLiteral("Player: Who asks?\n  Goto = 4\nDialog2 choice"));
        const Script read = ScriptParser::parse(script);
        QVERIFY(read.errors.empty());
        TreeJournal journal(tree);
        tree.setJournal(&journal);
        QVERIFY(ScriptApply::apply(tree, read).empty());
        tree.setJournal(nullptr);
        QCOMPARE(scriptOf(DlgWriter::records(tree)),
                 QStringLiteral("Config = Configs/Example.ini\n"
                                "Dialog1 Entity: Halt! Who goes there?\n"
                                "Dialog2 Player: Who asks?\n"
                                "  Goto = 5\n"
                                "Dialog3 choice\n"
                                "  1. A friend of the castle.\n"
                                "    Dialog4 Entity: Then pass, my friend.\n"
                                "  2. None of your business.\n"
                                "    Dialog5 Entity: Then you stay outside.\n"
                                "      Goto = 1\n"));
        QVERIFY(tree.contains(castle) && tree.contains(outside));
        QCOMPARE(castle->text(), QByteArray("Dialog4"));
        QCOMPARE(castle->child(2)->text(), QByteArray("Text = Then pass, my friend."));
        journal.undo();
        QCOMPARE(DlgWriter::stream(tree, {}), before);
    }

    // Random edits of random trees: applying the script of the tree changes nothing, an edit
    // of one text changes that node only, and every apply is taken back to the same bytes.
    void randomEditsApplyAndUndo()
    {
        const quint32 seed = QRandomGenerator::global()->generate();
        QRandomGenerator random(seed);
        for (int n = 0; n < 150; ++n) {
            DialogTree tree;
            DlgTreeBuilder::build(tree, randomTree(random));
            const DlgRecordList before = DlgWriter::records(tree);
            QStringList lines = scriptOf(before).split(u'\n');
            lines.removeLast();
            const int at = random.bounded(int(lines.size()));
            const QString edit =
                QStringLiteral("seed %1, tree %2, line %3").arg(seed).arg(n).arg(at);
            const int kind = random.bounded(4);
            if (kind == 0 && lines[at].contains(QStringLiteral("r: "))) // a text dialog's text
                lines[at] += QStringLiteral(" again");
            else if (kind == 1)
                lines.removeAt(at);
            else if (kind == 2)
                lines.insert(at, lines[at]);
            else if (kind == 3)
                lines.append(QStringLiteral("Player: new"));
            const Script script = ScriptParser::parse(lines.join(u'\n'));
            if (!script.errors.empty())
                continue;
            TreeJournal journal(tree);
            tree.setJournal(&journal);
            const std::vector<ScriptError> errors = ScriptApply::apply(tree, script);
            tree.setJournal(nullptr);
            if (!errors.empty()) {
                QVERIFY2(journal.isEmpty(), qPrintable(edit));
                continue;
            }
            const DlgRecordList after = DlgWriter::records(tree);
            if (kind == 0 && lines[at].endsWith(QStringLiteral(" again"))) {
                size_t changed = 0;
                for (size_t i = 0; i < before.size(); ++i)
                    changed += before[i].text != after[i].text;
                QVERIFY2(after.size() == before.size() && changed == 1, qPrintable(edit));
            }
            TreeJournal again(tree);
            tree.setJournal(&again);
            QVERIFY(ScriptApply::apply(tree, ScriptParser::parse(scriptOf(after))).empty());
            tree.setJournal(nullptr);
            QVERIFY2(again.isEmpty(), qPrintable(edit));
            journal.undo();
            QVERIFY2(DlgWriter::stream(tree, {}) == DlgWriter::stream(before, {}),
                     qPrintable(edit));
        }
    }

    // The lines kept between two texts are a longest common subsequence; a merge takes both
    // changes where they do not meet, and the typed lines where they do.
    void linesMatchAndMerge()
    {
        const quint32 seed = QRandomGenerator::global()->generate();
        QRandomGenerator random(seed);
        const auto randomLines = [&random](int size) {
            std::vector<int> lines;
            for (int i = 0; i < size; ++i)
                lines.push_back(random.bounded(5));
            return lines;
        };
        for (int n = 0; n < 300; ++n) {
            const std::vector<int> a = randomLines(random.bounded(12));
            const std::vector<int> b = randomLines(random.bounded(12));
            std::vector<std::vector<int>> longest(a.size() + 1, std::vector<int>(b.size() + 1));
            for (size_t i = a.size(); i-- > 0;)
                for (size_t j = b.size(); j-- > 0;)
                    longest[i][j] = a[i] == b[j] ? longest[i + 1][j + 1] + 1
                                                 : std::max(longest[i + 1][j], longest[i][j + 1]);
            const std::vector<int> matched = LineDiff::match(a, b);
            int kept = 0;
            int last = -1;
            for (size_t j = 0; j < b.size(); ++j) {
                if (matched[j] < 0)
                    continue;
                QVERIFY(matched[j] > last && a[size_t(matched[j])] == b[j]);
                last = matched[j];
                ++kept;
            }
            QVERIFY2(kept == longest[0][0], qPrintable(QString::number(seed)));
        }
        // Base 0..9: mine changes line 2, theirs changes line 7 and appends; both go in. Where
        // both change line 5, mine stays.
        const std::vector<int> base = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
        std::vector<int> mine = base;
        std::vector<int> theirs = base;
        mine[2] = 20;
        mine[5] = 50;
        theirs[7] = 70;
        theirs[5] = 51;
        theirs.push_back(10);
        const LineDiff::Merge merge = LineDiff::merge(base, mine, theirs);
        std::vector<int> merged;
        for (const LineDiff::MergedLine &line : merge.lines)
            merged.push_back(line.mine ? mine[size_t(line.index)] : theirs[size_t(line.index)]);
        QCOMPARE(merged, (std::vector<int>{0, 1, 20, 3, 4, 50, 6, 70, 8, 9, 10}));
        QCOMPARE(merge.conflicts, 1);
    }
};

QTEST_APPLESS_MAIN(TestScriptFormat)
#include "test_format.moc"
