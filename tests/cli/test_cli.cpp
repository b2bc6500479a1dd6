#include "cli_run.h"
#include "test_files.h"

#include "document/dialog_tree.h"
#include "persistence/dlg_file.h"
#include "persistence/dlg_writer.h"
#include "test_documents.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>
#include <algorithm>
#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

namespace {

using Result = CliRun;

Result runCli(const QStringList &arguments, const QString &workingDirectory = QString())
{
    return runTalmeroCli(arguments, workingDirectory);
}

// A document with a text dialog holding actions, a choice dialog with a nested dialog, and
// stored numbers that renumbering will change.
const QByteArray kListing = "Root\n"
                            "  Config = C:\\Configs\\panel.ini\n"
                            "Dialog7\n"
                            "  Type = Text\n"
                            "  Speaker = Player\n"
                            "  Text = Caf\xc3\xa9 au lait\n"
                            "  Set Short gold = 100\n"
                            "  Goto = 2\n"
                            "Dialog3\n"
                            "  Choice = 1\n"
                            "    Text = Yes\n"
                            "    Dialog1\n"
                            "      Type = Text\n"
                            "      Speaker = Entity\n"
                            "      Text = Fine\n"
                            "      Call = Open, 1\n"
                            "  Choice = 2\n"
                            "    Text = No\n";

// A random text of up to 255 bytes, rich in what a listing line must take care of: blanks and
// double quotes in front, backslashes, line breaks, tabs, every other byte.
QByteArray randomText(QRandomGenerator &random)
{
    static const char kTricky[] = " \"\\\n\r\t\x00\x7F\x81\x9D\xA0xn";
    QByteArray text;
    const int length = random.bounded(4) == 0 ? 0 : random.bounded(256);
    for (int i = 0; i < length; ++i) {
        text += random.bounded(2) == 0 ? kTricky[random.bounded(int(sizeof kTricky) - 1)]
                                       : char(random.bounded(256));
    }
    return text;
}

// Records in pre-order whose levels go at most one deeper from one record to the next.
DlgRecordList randomRecords(QRandomGenerator &random, int count, bool deep)
{
    DlgRecordList records;
    int level = 0;
    for (int i = 0; i < count; ++i) {
        DlgRecord r;
        if (i > 0)
            level = deep ? level + 1 : int(random.bounded(level + 2));
        r.level = level;
        r.image = qint32(random.generate());
        r.selected = qint32(random.generate());
        r.state = qint32(random.generate());
        r.overlay = qint32(random.generate());
        r.data = random.generate();
        r.text = randomText(random);
        records.push_back(std::move(r));
    }
    return records;
}

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString path(const char *name) const { return m_dir.filePath(QLatin1String(name)); }

private slots:
    void packWritesTheNewDocumentFile()
    {
        TestFiles::write(path("root.txt"), "Root\n");
        const Result r = runCli({QStringLiteral("pack"), path("root.txt"), path("root.dlg")});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(TestFiles::read(path("root.dlg")),
                 TestFiles::read(
                     QStringLiteral(TALMERO_SOURCE_DIR "/tests/persistence/data/root_only.dlg")));
    }

    void storedDumpShowsRecordsAsStored()
    {
        TestFiles::write(path("story.txt"), kListing);
        QCOMPARE(runCli({QStringLiteral("pack"), path("story.txt"), path("story.dlg")}).exitCode,
                 0);
        QVERIFY(TestFiles::read(path("story.dlg")).contains("Caf\xe9 au lait"));
        const Result r =
            runCli({QStringLiteral("dump"), QStringLiteral("--stored"), path("story.dlg")});
        QCOMPARE(r.exitCode, 0);
        const QList<QByteArray> lines = r.out.split('\n');
        QCOMPARE(lines.size(), 19); // 18 nodes and the empty piece after the last line feed
        QCOMPARE(lines[0], QByteArray("Root\t3,0,-1,-1,0"));
        QCOMPARE(lines[2], QByteArray("Dialog7\t1,0,-1,-1,0"));
        QCOMPARE(lines[5], QByteArray("  Text = Caf\xc3\xa9 au lait\t0,0,-1,-1,0"));
        QCOMPARE(lines[8], QByteArray("Dialog3\t2,0,-1,-1,0"));
        QCOMPARE(lines[11], QByteArray("    Dialog1\t1,0,-1,-1,0"));
    }

    void dumpShowsTheTreeAsOpened()
    {
        TestFiles::write(path("story.txt"), kListing);
        QCOMPARE(runCli({QStringLiteral("pack"), path("story.txt"), path("story.dlg")}).exitCode,
                 0);
        const Result r = runCli({QStringLiteral("dump"), path("story.dlg")});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, QByteArray("Root\n"
                                   "  Config = C:\\Configs\\panel.ini\n"
                                   "Dialog1\n"
                                   "  Type = Text\n"
                                   "  Speaker = Player\n"
                                   "  Text = Caf\xc3\xa9 au lait\n"
                                   "  Goto = 2\n"
                                   "Dialog2\n"
                                   "  Choice = 1\n"
                                   "    Text = Yes\n"
                                   "    Dialog3\n"
                                   "      Type = Text\n"
                                   "      Speaker = Entity\n"
                                   "      Text = Fine\n"
                                   "  Choice = 2\n"
                                   "    Text = No\n"));
    }

    void storedDumpPacksBackToTheSameBytes()
    {
        TestFiles::write(path("story.txt"), kListing);
        QCOMPARE(runCli({QStringLiteral("pack"), path("story.txt"), path("a.dlg"),
                         QStringLiteral("--size"), QStringLiteral("1024x40000")})
                     .exitCode,
                 0);
        QByteArray listing =
            runCli({QStringLiteral("dump"), QStringLiteral("--stored"), path("a.dlg")}).out;
        listing.replace("3,0,-1,-1,0", "3,0,-1,-1,77");
        TestFiles::write(path("a.txt"), listing);
        QCOMPARE(runCli({QStringLiteral("pack"), QStringLiteral("--size"),
                         QStringLiteral("1024x40000"), path("a.txt"), path("b.dlg")})
                     .exitCode,
                 0);
        QCOMPARE(runCli({QStringLiteral("dump"), QStringLiteral("--stored"), path("b.dlg")}).out,
                 listing);
        QByteArray expected = TestFiles::read(path("a.dlg"));
        expected[expected.indexOf("Root") - 9] = 77; // the root record's data value
        QCOMPARE(TestFiles::read(path("b.dlg")), expected);
    }

    // Whatever the stored texts and numbers, dump --stored and pack give the same file back.
    void storedDumpPacksAnyTreeBack()
    {
        const quint32 seed = QRandomGenerator::global()->generate();
        QRandomGenerator random(seed);
        for (int n = 0; n < 12; ++n) {
            const DlgRecordList records = randomRecords(random, 1 + random.bounded(40), n == 0);
            const QByteArray file = DlgWriter::stream(records, {});
            TestFiles::write(path("random.dlg"), file);
            const Result dumped =
                runCli({QStringLiteral("dump"), QStringLiteral("--stored"), path("random.dlg")});
            QCOMPARE(dumped.exitCode, 0);
            TestFiles::write(path("random.txt"), dumped.out);
            const Result packed =
                runCli({QStringLiteral("pack"), path("random.txt"), path("packed.dlg")});
            QVERIFY2(packed.exitCode == 0, packed.err.constData());
            QVERIFY2(TestFiles::read(path("packed.dlg")) == file,
                     qPrintable(QStringLiteral("seed %1, tree %2").arg(seed).arg(n)));
        }
        // Texts that need no quotes keep their form; a quoted one with an unknown escape is
        // refused with its line.
        TestFiles::write(path("quoted.txt"),
                         "Root\n  \"\\\"  two\\n\\x41\"\t0,0,-1,-1,0\n  Text = a\\nb \"c\"\n");
        QCOMPARE(runCli({QStringLiteral("pack"), path("quoted.txt"), path("quoted.dlg")}).exitCode,
                 0);
        QCOMPARE(
            runCli({QStringLiteral("dump"), QStringLiteral("--stored"), path("quoted.dlg")}).out,
            QByteArray("Root\t3,0,-1,-1,0\n  \"\\\"  two\\nA\"\t0,0,-1,-1,0\n"
                       "  Text = a\\nb \"c\"\t0,0,-1,-1,0\n"));
        TestFiles::write(path("bad.txt"), "Root\n  \"\\q\"\n");
        const Result bad = runCli({QStringLiteral("pack"), path("bad.txt"), path("bad.dlg")});
        QCOMPARE(bad.exitCode, 2);
        QVERIFY2(bad.err.contains(":2: the quoted text holds an unknown escape"),
                 bad.err.constData());
    }

    // The script of a file builds the same file again, never over its own script.
    void scriptBuildsBackTheSameFile()
    {
        const QString castle = QStringLiteral(TALMERO_SOURCE_DIR "/data/Examples/Castle.dlg");
        QCOMPARE(
            runCli({QStringLiteral("script"), castle, QStringLiteral("--out"), path("castle.txt")})
                .exitCode,
            0);
        QCOMPARE(runCli({QStringLiteral("build"), path("castle.txt"), QStringLiteral("--out"),
                         path("castle.dlg")})
                     .exitCode,
                 0);
        QCOMPARE(TestFiles::read(path("castle.dlg")), TestFiles::read(castle));
        QCOMPARE(runCli({QStringLiteral("build"), path("castle.txt"), QStringLiteral("--out"),
                         path("castle.txt")})
                     .exitCode,
                 2);
        QCOMPARE(TestFiles::read(path("castle.txt")),
                 runCli({QStringLiteral("script"), castle}).out);
    }

    void errorsGoToStandardError_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("error");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("missing file")
            << QStringList{QStringLiteral("dump"), QStringLiteral("MISSING")}
            << QByteArray("Cannot open file \"MISSING\". ") << 1;
        QTest::newRow("not a dialog file")
            << QStringList{QStringLiteral("dump"), QStringLiteral("--stored"),
                           QStringLiteral("LISTING")}
            << QByteArray("Invalid stream format.\n") << 1;
        QTest::newRow("bad node block")
            << QStringList{QStringLiteral("dump"), QStringLiteral("BROKEN")}
            << QByteArray("Stream read error.\n") << 1;
        QTest::newRow("odd indentation")
            << QStringList{QStringLiteral("pack"), QStringLiteral("ODD"), QStringLiteral("OUT")}
            << QByteArray("ODD:2: ") << 2;
        QTest::newRow("bad size") << QStringList{QStringLiteral("pack"), QStringLiteral("LISTING"),
                                                 QStringLiteral("OUT"), QStringLiteral("--size"),
                                                 QStringLiteral("473")}
                                  << QByteArray("--size") << 1;
        QTest::newRow("no file") << QStringList{QStringLiteral("dump")} << QByteArray("Usage") << 1;
        QTest::newRow("script of a missing file")
            << QStringList{QStringLiteral("script"), QStringLiteral("MISSING")}
            << QByteArray("Cannot open file \"MISSING\". ") << 2;
        QTest::newRow("malformed script")
            << QStringList{QStringLiteral("build"), QStringLiteral("SCRIPT"),
                           QStringLiteral("--out"), QStringLiteral("OUT")}
            << QByteArray("SCRIPT:2: a speaker is Player or Entity\n") << 2;
        QTest::newRow("build without out")
            << QStringList{QStringLiteral("build"), QStringLiteral("SCRIPT")} << QByteArray("Usage")
            << 1;
    }
    void errorsGoToStandardError()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, error);
        QFETCH(int, exitCode);
        TestFiles::write(path("listing.txt"), "Root\n");
        TestFiles::write(path("odd.txt"), "Root\n   Config = x\n");
        TestFiles::write(path("bad.script"), "Player: Hello\nNarrator: Hi\n");
        TestFiles::write(path("broken.dlg"),
                         TestFiles::read(QStringLiteral(TALMERO_SOURCE_DIR
                                                        "/tests/persistence/data/root_only.dlg"))
                             .chopped(2));
        const QByteArray quotedMissing =
            "\"" + QDir::toNativeSeparators(path("missing")).toUtf8() + "\"";
        const QHash<QString, QString> files = {{QStringLiteral("MISSING"), path("missing")},
                                               {QStringLiteral("LISTING"), path("listing.txt")},
                                               {QStringLiteral("BROKEN"), path("broken.dlg")},
                                               {QStringLiteral("ODD"), path("odd.txt")},
                                               {QStringLiteral("SCRIPT"), path("bad.script")},
                                               {QStringLiteral("OUT"), path("out.dlg")}};
        for (QString &a : arguments)
            a = files.value(a, a);
        error.replace("\"MISSING\"", quotedMissing)
            .replace("ODD", path("odd.txt").toUtf8())
            .replace("SCRIPT", path("bad.script").toUtf8());
        const Result r = runCli(arguments);
        QCOMPARE(r.exitCode, exitCode);
        QVERIFY2(r.err.contains(error), r.err.constData());
        QVERIFY(!QFile::exists(path("out.dlg")));
    }

    // A listing the user names may come through a pipe; an endless one ends in an error.
    void packReadsPipesWithALimit()
    {
#ifdef Q_OS_WIN
        QSKIP("/dev/stdin and /dev/zero are POSIX's");
#else
        TestFiles::write(path("plain.txt"), kListing);
        QVERIFY(
            runCli({QStringLiteral("pack"), path("plain.txt"), path("from-file.dlg")}).exitCode ==
            0);

        QProcess process;
        process.start(
            QStringLiteral(TALMERO_PROGRAM_DIR "/talmero-cli"),
            {QStringLiteral("pack"), QStringLiteral("/dev/stdin"), path("from-pipe.dlg")});
        process.write(kListing);
        process.closeWriteChannel();
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitCode(), 0);
        QCOMPARE(TestFiles::read(path("from-pipe.dlg")), TestFiles::read(path("from-file.dlg")));

        const Result endless =
            runCli({QStringLiteral("pack"), QStringLiteral("/dev/zero"), path("zero.dlg")});
        // Its first line is longer than any node's, which is seen without reading all of it.
        QCOMPARE(endless.exitCode, 2);
        QVERIFY2(endless.err.startsWith("/dev/zero:1: the text is longer"),
                 endless.err.constData());
        QVERIFY(!QFile::exists(path("zero.dlg")));
#endif
    }

    // Lines no dialog file can hold are refused with their line, and nothing is written.
    void packRefusesWhatADialogFileCannotHold_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QByteArray>("error");
        QTest::newRow("tab") << QByteArray("\tText = a")
                             << QByteArray(":3: the indentation holds a tab; indent with two "
                                           "blanks per level");
        QTest::newRow("code page") << QByteArray("  Text = \xc5\x82")
                                   << QByteArray(":3: The character \"\xc5\x82\" (U+0142)");
        QTest::newRow("long text") << "  Text = " + QByteArray(300, 'x')
                                   << QByteArray(":3: the text is longer than the 255 bytes");
    }
    void packRefusesWhatADialogFileCannotHold()
    {
        QFETCH(QByteArray, line);
        QFETCH(QByteArray, error);
        TestFiles::write(path("refused.txt"), "Root\nDialog1\n" + line + "\n");
        const Result r = runCli({QStringLiteral("pack"), path("refused.txt"), path("refused.dlg")});
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(r.err.contains(path("refused.txt").toUtf8() + error), r.err.constData());
        QVERIFY(!QFile::exists(path("refused.dlg")));
    }

    void packRefusesAnEmptySize_data()
    {
        QTest::addColumn<QString>("size");
        QTest::newRow("no width") << "0x553";
        QTest::newRow("negative height") << "473x-1";
    }
    void packRefusesAnEmptySize()
    {
        QFETCH(QString, size);
        TestFiles::write(path("root-only.txt"), "Root\n");
        const Result r = runCli({QStringLiteral("pack"), path("root-only.txt"), path("sized.dlg"),
                                 QStringLiteral("--size"), size});
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(r.err.contains("at least 1"), r.err.constData());
        QVERIFY(!QFile::exists(path("sized.dlg")));
    }

    void fileErrorsNameTheFullPath()
    {
        const Result open =
            runCli({QStringLiteral("dump"), QStringLiteral("absent.dlg")}, m_dir.path());
        QCOMPARE(open.exitCode, 1);
        QVERIFY2(open.err.startsWith("Cannot open file \"" +
                                     QDir::toNativeSeparators(path("absent.dlg")).toUtf8() +
                                     "\". "),
                 open.err.constData());

        TestFiles::write(path("root.txt"), "Root\n");
        const Result create = runCli({QStringLiteral("pack"), QStringLiteral("root.txt"),
                                      QStringLiteral("nowhere/root.dlg")},
                                     m_dir.path());
        QCOMPARE(create.exitCode, 1);
        QVERIFY2(create.err.startsWith("Cannot create file \"" +
                                       QDir::toNativeSeparators(path("nowhere/root.dlg")).toUtf8() +
                                       "\". "),
                 create.err.constData());
    }

    // 0 for a clean file, 1 with one line per finding, 2 with the reader's error when the file
    // cannot be read. The configuration is found from the current directory.
    void checkExitCodes()
    {
        TestFiles::write(path("panel.ini"), "[Main]\r\n");
        const QByteArray story = "Root\n"
                                 "  Config = panel.ini\n"
                                 "Dialog1\n"
                                 "  Type = Text\n"
                                 "  Speaker = Player\n"
                                 "  Text = Hello\n"
                                 "  Goto = 2\n"
                                 "Dialog2\n"
                                 "  Type = Text\n"
                                 "  Speaker = Entity\n"
                                 "  Text = Bye\n";
        TestFiles::write(path("clean.txt"), story);
        TestFiles::write(path("broken.txt"), QByteArray(story).replace("Goto = 2", "Goto = 4"));
        QCOMPARE(runCli({QStringLiteral("pack"), path("clean.txt"), path("clean.dlg")}).exitCode,
                 0);
        QCOMPARE(runCli({QStringLiteral("pack"), path("broken.txt"), path("broken.dlg")}).exitCode,
                 0);

        const Result clean =
            runCli({QStringLiteral("check"), QStringLiteral("clean.dlg")}, m_dir.path());
        QCOMPARE(clean.exitCode, 0);
        QCOMPARE(clean.out, QByteArray());

        const Result broken =
            runCli({QStringLiteral("check"), QStringLiteral("broken.dlg")}, m_dir.path());
        QCOMPARE(broken.exitCode, 1);
        QCOMPARE(broken.out,
                 QByteArray("Dialog1: Goto = 4: names Dialog4, which does not exist\n"));

        const Result elsewhere =
            runCli({QStringLiteral("check"), path("clean.dlg")}, QDir::rootPath());
        QCOMPARE(elsewhere.exitCode, 1);
        QCOMPARE(elsewhere.out,
                 QByteArray("Root: Config = panel.ini: the configuration file does not exist\n"));

        // Labels as stored: two dialogs called Dialog1, and no Dialog2 for the goto.
        TestFiles::write(path("labels.txt"), QByteArray(story).replace("Dialog2", "Dialog1"));
        QCOMPARE(runCli({QStringLiteral("pack"), path("labels.txt"), path("labels.dlg")}).exitCode,
                 0);
        QCOMPARE(runCli({QStringLiteral("check"), QStringLiteral("labels.dlg")}, m_dir.path()).out,
                 QByteArray("Dialog1: Goto = 2: names Dialog2, which does not exist\n"
                            "Dialog1: the 1st dialog carries this label too; the game finds "
                            "that one, never this one, the 2nd\n"));

        const Result unreadable = runCli({QStringLiteral("check"), path("clean.txt")});
        QCOMPARE(unreadable.exitCode, 2);
        QCOMPARE(unreadable.out, QByteArray());
        QVERIFY2(unreadable.err.contains("Invalid stream format."), unreadable.err.constData());
        QCOMPARE(runCli({QStringLiteral("check"), path("absent.dlg")}).exitCode, 2);

        // As stored, the game's view, every action is checked; as opened, the actions Open
        // removes are gone, and so are their findings.
        TestFiles::write(path("actions.txt"), QByteArray(story)
                                                  .replace("Goto = 2", "Goto = 0\n"
                                                                       "  Delete = 7\n"
                                                                       "  Delete = 3\n"
                                                                       "  Delete = 1 from 3")
                                                  .append("Dialog3\n"
                                                          "  Choice = 1\n"
                                                          "    Text = Yes\n"
                                                          "  Choice = 1\n"
                                                          "    Text = Yes too\n"));
        QCOMPARE(
            runCli({QStringLiteral("pack"), path("actions.txt"), path("actions.dlg")}).exitCode, 0);
        const Result stored =
            runCli({QStringLiteral("check"), QStringLiteral("actions.dlg")}, m_dir.path());
        QCOMPARE(stored.exitCode, 1);
        QCOMPARE(stored.out,
                 QByteArray("Dialog1: Goto = 0: names no dialog: the dialog it named was deleted; "
                            "point it at another dialog or remove it\n"
                            "Dialog1: Delete = 7: names Dialog7, which does not exist\n"
                            "Dialog1: Delete = 3: Dialog3 is a choice dialog; Delete = N takes a "
                            "text dialog, Delete = C from N removes one answer of a choice dialog\n"
                            "Dialog1: Delete = 1 from 3: Dialog3 has 2 answers numbered 1; the "
                            "game cannot tell which one to remove\n"
                            "Dialog3: Choice = 1: repeats an answer number of this choice "
                            "dialog; each answer needs a number of its own\n"));
        const Result opened = runCli(
            {QStringLiteral("check"), QStringLiteral("--as-opened"), QStringLiteral("actions.dlg")},
            m_dir.path());
        QCOMPARE(opened.out.count('\n'), 2);
        QVERIFY(opened.out.startsWith("Dialog1: Goto = 0: "));
    }

    // The map's SVG and DOT name every dialog, arrow and end as documented, from the file as
    // stored: the delete action that Open would remove still shows as a broken arrow.
    void mapKeepsItsContract()
    {
        DialogTree tree;
        tree.addRootNode();
        addFlowStory(tree);
        DlgFile::save(tree, path("flow.dlg"), {});
        const QByteArrayList arrows = {"1>2 next",  "2>3 answer 1", "2>7 answer 2", "2>6 answer 3",
                                       "3>4 next",  "4>5 answer 1", "4>7 answer 2", "5>1 goto",
                                       "6> broken", "6>7 next",     "7> broken"};

        const Result svg = runCli({QStringLiteral("map"), path("flow.dlg")});
        QCOMPARE(svg.exitCode, 0);
        QByteArrayList dialogs;
        QByteArrayList edges;
        QByteArrayList ends;
        QXmlStreamReader xml(svg.out);
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != u"g")
                continue;
            const QXmlStreamAttributes a = xml.attributes();
            const QByteArray kind = a.value(QLatin1String("class")).toUtf8();
            if (kind.startsWith("dialog "))
                dialogs.append(a.value(QLatin1String("id")).toUtf8() + ' ' + kind.mid(7));
            else if (kind == "end")
                ends.append(a.value(QLatin1String("data-from")).toUtf8());
            else if (kind.startsWith("edge "))
                edges.append(a.value(QLatin1String("data-from")).toUtf8() + '>' +
                             a.value(QLatin1String("data-to")).toUtf8() + ' ' + kind.mid(5) +
                             (a.hasAttribute(QLatin1String("data-choice"))
                                  ? ' ' + a.value(QLatin1String("data-choice")).toUtf8()
                                  : QByteArray()));
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QCOMPARE(dialogs,
                 QByteArrayList({"dialog1 text", "dialog2 choice", "dialog3 text", "dialog4 choice",
                                 "dialog5 text", "dialog6 text", "dialog7 text", "dialog8 text"}));
        QCOMPARE(edges, arrows);
        // The conversation ends after the last dialog.
        QCOMPARE(ends, QByteArrayList({"8"}));

        QCOMPARE(runCli({QStringLiteral("map"), path("flow.dlg"), QStringLiteral("--format"),
                         QStringLiteral("dot"), QStringLiteral("--out"), path("flow.dot")})
                     .exitCode,
                 0);
        const QString dot = QString::fromUtf8(TestFiles::read(path("flow.dot")));
        QVERIFY(dot.startsWith(u"digraph "));
        QByteArrayList dotEdges;
        const QRegularExpression edge(
            QStringLiteral(
                R"re(^  d(\d+) -> (?:d(\d+)|broken\d+) \[kind=(\w+)(?:.*label="(\d+)")?)re"),
            QRegularExpression::MultilineOption);
        for (const QRegularExpressionMatch &m : edge.globalMatch(dot)) {
            QByteArray line = m.captured(1).toUtf8() + '>' + m.captured(2).toUtf8() + ' ' +
                              m.captured(3).toUtf8();
            if (m.captured(3) == u"answer")
                line += ' ' + m.captured(4).toUtf8();
            dotEdges.append(line);
        }
        QCOMPARE(dotEdges, arrows);

        const Result missing = runCli({QStringLiteral("map"), path("absent.dlg")});
        QCOMPARE(missing.exitCode, 2);
        QVERIFY(missing.err.contains("Cannot open file"));
    }

    // Every writer refuses, with 2 and nothing written, an output that is one of its inputs
    // (also through a link or another path) or that is no regular file.
    void writersRefuseInputsAndSpecialFiles_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("target");
        // Each writer with the input that its output must not replace.
        const QList<QPair<QString, QString>> writers = {
            {QStringLiteral("strings export a.dlg --out"), QStringLiteral("a.dlg")},
            {QStringLiteral("strings import a.dlg a.po --out"), QStringLiteral("a.po")},
            {QStringLiteral("map a.dlg --out"), QStringLiteral("a.dlg")},
            {QStringLiteral("pack a.txt"), QStringLiteral("a.txt")}};
        for (const auto &[command, input] : writers) {
            for (const QString &target :
                 {input, QStringLiteral("sub/../") + input, QStringLiteral("link-") + input,
                  QStringLiteral("fifo"), QStringLiteral("folder"), QStringLiteral("null")}) {
                QTest::newRow(qPrintable(command + u' ' + target)) << command << target;
            }
        }
    }
    void writersRefuseInputsAndSpecialFiles()
    {
#ifdef Q_OS_WIN
        QSKIP("FIFOs, devices and links are POSIX's");
#else
        QFETCH(QString, command);
        QFETCH(QString, target);
        QTemporaryDir dir;
        const auto at = [&](const QString &name) { return dir.filePath(name); };
        TestFiles::write(at(QStringLiteral("a.txt")), kListing);
        QCOMPARE(runCli({QStringLiteral("pack"), at(QStringLiteral("a.txt")),
                         at(QStringLiteral("a.dlg"))})
                     .exitCode,
                 0);
        TestFiles::write(at(QStringLiteral("a.po")), "msgid \"Fine\"\nmsgstr \"Gut\"\n");
        QDir(dir.path()).mkpath(QStringLiteral("sub"));
        QDir(dir.path()).mkpath(QStringLiteral("folder"));
        for (const char *name : {"a.dlg", "a.po", "a.txt"})
            QFile::link(at(QLatin1String(name)), at(QStringLiteral("link-") + QLatin1String(name)));
        QVERIFY(::mkfifo(QFile::encodeName(at(QStringLiteral("fifo"))).constData(), 0600) == 0);
        QFile::link(QStringLiteral("/dev/null"), at(QStringLiteral("null")));
        QHash<QString, QByteArray> before;
        for (const char *name : {"a.dlg", "a.po", "a.txt"})
            before.insert(QLatin1String(name), TestFiles::read(at(QLatin1String(name))));

        const Result r = runCli(command.split(u' ') + QStringList{target}, dir.path());
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(r.err.startsWith("Cannot create file"), r.err.constData());
        for (auto file = before.cbegin(); file != before.cend(); ++file)
            QCOMPARE(TestFiles::read(at(file.key())), file.value());
        QVERIFY(QFileInfo(at(QStringLiteral("fifo"))).exists() &&
                !QFileInfo(at(QStringLiteral("fifo"))).isFile());
        QVERIFY(QFileInfo(at(QStringLiteral("folder"))).isDir());
        QVERIFY(QFileInfo(at(QStringLiteral("null"))).isSymLink());
        // Nothing new: the three inputs, their links and the link to /dev/null.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 7);
#endif
    }

    // Output that does not reach standard output (a full disk) is an error for every command,
    // however little of it there is.
    void failedStandardOutputExitsWith2_data()
    {
        QTest::addColumn<QString>("command");
        for (const char *command : {"--help", "dump a.dlg", "dump --stored a.dlg", "check a.dlg",
                                    "map a.dlg", "map a.dlg --format dot", "map a.dlg --format png",
                                    "strings export a.dlg", "map --help", "font --help"})
            QTest::newRow(command) << QString::fromLatin1(command);
    }
    void failedStandardOutputExitsWith2()
    {
        if (!QFileInfo::exists(QStringLiteral("/dev/full")))
            QSKIP("no /dev/full here");
        QFETCH(QString, command);
        TestFiles::write(path("a.txt"), kListing);
        QCOMPARE(runCli({QStringLiteral("pack"), path("a.txt"), path("a.dlg")}).exitCode, 0);
        const Result r =
            runTalmeroCli(command.split(u' '), m_dir.path(), 30000, QStringLiteral("/dev/full"));
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(r.err.contains("cannot write to standard output"), r.err.constData());
    }

    // DOT text never holds a control byte (dot stops at a NUL), and a map too large for a
    // readable picture is refused instead of drawn as a strip.
    void mapWritesOnlyWhatItsReadersTake()
    {
        QByteArray listing =
            "Root\nDialog1\n  Type = Text\n  Speaker = Player\n  Text = \"a\\x00b\\x01c\\x7F\"\n";
        for (int i = 2; i <= 2000; ++i)
            listing += "Dialog" + QByteArray::number(i) +
                       "\n  Type = Text\n  Speaker = Entity\n  Text = Line\n";
        TestFiles::write(path("tall.txt"), listing);
        QCOMPARE(runCli({QStringLiteral("pack"), path("tall.txt"), path("tall.dlg")}).exitCode, 0);
        const Result dot = runCli({QStringLiteral("map"), path("tall.dlg"),
                                   QStringLiteral("--format"), QStringLiteral("dot")});
        QCOMPARE(dot.exitCode, 0);
        QVERIFY(std::none_of(dot.out.begin(), dot.out.end(),
                             [](char c) { return (uchar(c) < 0x20 && c != '\n') || c == 0x7F; }));
        QVERIFY(dot.out.contains("a\\\\x00b\\\\x01c\\\\x7F"));
        const Result png =
            runCli({QStringLiteral("map"), path("tall.dlg"), QStringLiteral("--format"),
                    QStringLiteral("png"), QStringLiteral("--out"), path("tall.png")});
        QCOMPARE(png.exitCode, 2);
        QVERIFY2(png.err.contains("too large for a readable picture"), png.err.constData());
        QVERIFY(!QFile::exists(path("tall.png")));
    }

    void helpWorks_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("program") << QStringList{QStringLiteral("--help")};
        QTest::newRow("font") << QStringList{QStringLiteral("font"), QStringLiteral("--help")};
        QTest::newRow("dump") << QStringList{QStringLiteral("dump"), QStringLiteral("--help")};
        QTest::newRow("pack") << QStringList{QStringLiteral("pack"), QStringLiteral("--help")};
        QTest::newRow("check") << QStringList{QStringLiteral("check"), QStringLiteral("--help")};
        QTest::newRow("map") << QStringList{QStringLiteral("map"), QStringLiteral("--help")};
        QTest::newRow("script") << QStringList{QStringLiteral("script"), QStringLiteral("--help")};
        QTest::newRow("build") << QStringList{QStringLiteral("build"), QStringLiteral("--help")};
    }
    void helpWorks()
    {
        QFETCH(QStringList, arguments);
        const Result r = runCli(arguments);
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.out.contains("Usage"));
        // The usage is the same on every machine (the manual page is made from it); where the
        // files are goes to standard error.
        QVERIFY(!r.out.contains("your files are"));
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "test_cli.moc"
