#include "test_files.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Result
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Result runCli(const QStringList &arguments, const QString &workingDirectory = QString())
{
    QProcess process;
    process.setWorkingDirectory(workingDirectory);
    process.start(QStringLiteral(TALMERO_PROGRAM_DIR "/talmero-cli"), arguments);
    process.waitForFinished(30000);
    QByteArray out = process.readAllStandardOutput();
    QByteArray err = process.readAllStandardError();
#ifdef Q_OS_WIN
    // The C runtime writes each line feed to the console streams as CR LF.
    out.replace("\r\n", "\n");
    err.replace("\r\n", "\n");
#endif
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, out, err};
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
        const Result r = runCli({"pack", path("root.txt"), path("root.dlg")});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(TestFiles::read(path("root.dlg")),
                 TestFiles::read(
                     QStringLiteral(TALMERO_SOURCE_DIR "/tests/persistence/data/root_only.dlg")));
    }

    void storedDumpShowsRecordsAsStored()
    {
        TestFiles::write(path("story.txt"), kListing);
        QCOMPARE(runCli({"pack", path("story.txt"), path("story.dlg")}).exitCode, 0);
        QVERIFY(TestFiles::read(path("story.dlg")).contains("Caf\xe9 au lait"));
        const Result r = runCli({"dump", "--stored", path("story.dlg")});
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
        QCOMPARE(runCli({"pack", path("story.txt"), path("story.dlg")}).exitCode, 0);
        const Result r = runCli({"dump", path("story.dlg")});
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
        QCOMPARE(
            runCli({"pack", path("story.txt"), path("a.dlg"), "--size", "1024x40000"}).exitCode, 0);
        QByteArray listing = runCli({"dump", "--stored", path("a.dlg")}).out;
        listing.replace("3,0,-1,-1,0", "3,0,-1,-1,77");
        TestFiles::write(path("a.txt"), listing);
        QCOMPARE(runCli({"pack", "--size", "1024x40000", path("a.txt"), path("b.dlg")}).exitCode,
                 0);
        QCOMPARE(runCli({"dump", "--stored", path("b.dlg")}).out, listing);
        QByteArray expected = TestFiles::read(path("a.dlg"));
        expected[expected.indexOf("Root") - 9] = 77; // the root record's data value
        QCOMPARE(TestFiles::read(path("b.dlg")), expected);
    }

    void errorsGoToStandardError_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("error");
        QTest::newRow("missing file")
            << QStringList{"dump", "MISSING"} << QByteArray("Cannot open file \"MISSING\". ");
        QTest::newRow("not a dialog file")
            << QStringList{"dump", "--stored", "LISTING"} << QByteArray("Invalid stream format.\n");
        QTest::newRow("bad node block")
            << QStringList{"dump", "BROKEN"} << QByteArray("Stream read error.\n");
        QTest::newRow("odd indentation")
            << QStringList{"pack", "ODD", "OUT"} << QByteArray("ODD:2: ");
        QTest::newRow("bad size") << QStringList{"pack", "LISTING", "OUT", "--size", "473"}
                                  << QByteArray("--size");
        QTest::newRow("no file") << QStringList{"dump"} << QByteArray("Usage");
    }
    void errorsGoToStandardError()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, error);
        TestFiles::write(path("listing.txt"), "Root\n");
        TestFiles::write(path("odd.txt"), "Root\n   Config = x\n");
        TestFiles::write(path("broken.dlg"),
                         TestFiles::read(QStringLiteral(TALMERO_SOURCE_DIR
                                                        "/tests/persistence/data/root_only.dlg"))
                             .chopped(2));
        const QByteArray quotedMissing =
            "\"" + QDir::toNativeSeparators(path("missing")).toUtf8() + "\"";
        const QHash<QString, QString> files = {{"MISSING", path("missing")},
                                               {"LISTING", path("listing.txt")},
                                               {"BROKEN", path("broken.dlg")},
                                               {"ODD", path("odd.txt")},
                                               {"OUT", path("out.dlg")}};
        for (QString &a : arguments)
            a = files.value(a, a);
        error.replace("\"MISSING\"", quotedMissing).replace("ODD", path("odd.txt").toUtf8());
        const Result r = runCli(arguments);
        QCOMPARE(r.exitCode, 1);
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
        QVERIFY(runCli({"pack", path("plain.txt"), path("from-file.dlg")}).exitCode == 0);

        QProcess process;
        process.start(QStringLiteral(TALMERO_PROGRAM_DIR "/talmero-cli"),
                      {"pack", "/dev/stdin", path("from-pipe.dlg")});
        process.write(kListing);
        process.closeWriteChannel();
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitCode(), 0);
        QCOMPARE(TestFiles::read(path("from-pipe.dlg")), TestFiles::read(path("from-file.dlg")));

        const Result endless = runCli({"pack", "/dev/zero", path("zero.dlg")});
        QCOMPARE(endless.exitCode, 1);
        QVERIFY2(endless.err.startsWith("Cannot open file \"/dev/zero\". File too large"),
                 endless.err.constData());
        QVERIFY(!QFile::exists(path("zero.dlg")));
#endif
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
        const Result r = runCli({"pack", path("root-only.txt"), path("sized.dlg"), "--size", size});
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(r.err.contains("at least 1"), r.err.constData());
        QVERIFY(!QFile::exists(path("sized.dlg")));
    }

    void fileErrorsNameTheFullPath()
    {
        const Result open = runCli({"dump", "absent.dlg"}, m_dir.path());
        QCOMPARE(open.exitCode, 1);
        QVERIFY2(open.err.startsWith("Cannot open file \"" +
                                     QDir::toNativeSeparators(path("absent.dlg")).toUtf8() +
                                     "\". "),
                 open.err.constData());

        TestFiles::write(path("root.txt"), "Root\n");
        const Result create = runCli({"pack", "root.txt", "nowhere/root.dlg"}, m_dir.path());
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
        QCOMPARE(runCli({"pack", path("clean.txt"), path("clean.dlg")}).exitCode, 0);
        QCOMPARE(runCli({"pack", path("broken.txt"), path("broken.dlg")}).exitCode, 0);

        const Result clean = runCli({"check", "clean.dlg"}, m_dir.path());
        QCOMPARE(clean.exitCode, 0);
        QCOMPARE(clean.out, QByteArray());

        const Result broken = runCli({"check", "broken.dlg"}, m_dir.path());
        QCOMPARE(broken.exitCode, 1);
        QCOMPARE(broken.out,
                 QByteArray("Dialog1: Goto = 4: names Dialog4, which does not exist\n"));

        const Result elsewhere = runCli({"check", path("clean.dlg")}, QDir::rootPath());
        QCOMPARE(elsewhere.exitCode, 1);
        QCOMPARE(elsewhere.out,
                 QByteArray("Root: Config = panel.ini: the configuration file does not exist\n"));

        const Result unreadable = runCli({"check", path("clean.txt")});
        QCOMPARE(unreadable.exitCode, 2);
        QCOMPARE(unreadable.out, QByteArray());
        QVERIFY2(unreadable.err.contains("Invalid stream format."), unreadable.err.constData());
        QCOMPARE(runCli({"check", path("absent.dlg")}).exitCode, 2);
    }

    void helpWorks_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("program") << QStringList{"--help"};
        QTest::newRow("dump") << QStringList{"dump", "--help"};
        QTest::newRow("pack") << QStringList{"pack", "--help"};
        QTest::newRow("check") << QStringList{"check", "--help"};
    }
    void helpWorks()
    {
        QFETCH(QStringList, arguments);
        const Result r = runCli(arguments);
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.out.contains("Usage"));
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "test_cli.moc"
