#include "cli_run.h"
#include "document/dialog_edits.h"
#include "document/dialog_tree.h"
#include "document/node_text.h"
#include "persistence/dlg_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

namespace {

using Result = CliRun;

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// A program folder with the runtime files, the shipped example configuration and a document
// that names it relative to the program folder, which is the current directory of every run.
class Program
{
public:
    Program()
    {
        QDir root(dir.path());
        root.mkpath(QStringLiteral("Projects"));
        root.mkpath(QStringLiteral("Configs/Example"));
        put(QStringLiteral("bin/Dialog.dll"), "runtime library");
        put(QStringLiteral("bin/PanelEvent.wdl"), "companion script");
        const QString shipped = QStringLiteral(TALMERO_SOURCE_DIR "/data/Configs/");
        QFile::copy(shipped + QStringLiteral("Example.ini"),
                    path(QStringLiteral("Configs/Example.ini")));
        const QDir examples(shipped + QStringLiteral("Example"));
        for (const QString &file : examples.entryList(QDir::Files))
            QFile::copy(examples.filePath(file), path(QStringLiteral("Configs/Example/") + file));

        DialogTree tree;
        DialogNode *rootNode = tree.addSibling(nullptr, NodeText::root());
        tree.addChild(rootNode, NodeText::config("Configs/Example.ini"));
        DialogNode *dialog =
            DialogEdits(tree).addTextDialog(rootNode, "Hello", DialogEdits::Speaker::Player);
        tree.addChild(dialog, NodeText::setVariable("Short", "gold", "100"));
        tree.addChild(dialog, NodeText::gotoDialog(1));
        DlgFile::save(tree, document(), {});
    }

    QString path(const QString &relative) const { return dir.filePath(relative); }
    QString document() const { return path(QStringLiteral("my story.dlg")); }
    void put(const QString &relative, const QByteArray &bytes) const
    {
        QDir(dir.path()).mkpath(QFileInfo(relative).path());
        QFile file(path(relative));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    Result generate(const QStringList &arguments) const
    {
        return runTalmeroCli(QStringList{QStringLiteral("generate")} + arguments, dir.path());
    }

    QTemporaryDir dir;
};

} // namespace

class TestGenerate : public QObject
{
    Q_OBJECT

private slots:
    void generatesTheProject()
    {
        Program program;
        const Result r = program.generate({program.document(), QStringLiteral("--name"),
                                           QStringLiteral("castle"),
                                           QStringLiteral("--program-folder"), program.dir.path()});
        QCOMPARE(r.err, QByteArray());
        QCOMPARE(r.out, QByteArray("Project folder created successfully!\n"));
        QCOMPARE(r.exitCode, 0);

        const QString project = program.path(QStringLiteral("Projects/castle/"));
        QCOMPARE(QDir(project).entryList(QDir::Files).size(), 16);
        QVERIFY(
            contents(project + QStringLiteral("WDLAction.wdl"))
                .contains("   StartDialog(\"my story.dlg\",\"PlayerName\",\"EntityName\");\r\n"));
        // The document arrives as Open leaves it: the variable operation is gone, the jump stays.
        DialogTree expected;
        DlgFile::load(expected, program.document());
        QCOMPARE(expected.count(), 7);
        DlgFile::save(expected, program.path(QStringLiteral("expected.dlg")), {});
        QCOMPARE(contents(project + QStringLiteral("my story.dlg")),
                 contents(program.path(QStringLiteral("expected.dlg"))));
    }

    void shippedExampleGenerates()
    {
        // The example document names the example configuration relative to the program folder.
        Program program;
        const QString example = program.path(QStringLiteral("Examples/Castle.dlg"));
        QDir(program.dir.path()).mkpath(QStringLiteral("Examples"));
        QVERIFY(
            QFile::copy(QStringLiteral(TALMERO_SOURCE_DIR "/data/Examples/Castle.dlg"), example));
        const Result r =
            program.generate({example, QStringLiteral("--name"), QStringLiteral("Castle"),
                              QStringLiteral("--program-folder"), program.dir.path()});
        QCOMPARE(r.out, QByteArray("Project folder created successfully!\n"));
        QCOMPARE(r.exitCode, 0);
        const QString project = program.path(QStringLiteral("Projects/Castle/"));
        QCOMPARE(contents(project + QStringLiteral("Castle.dlg")), contents(example));
        QVERIFY(QFile::exists(project + QStringLiteral("Example.ini")));
    }

    void failures_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<QByteArray>("errStart");

        QTest::newRow("project exists")
            << QStringList{QStringLiteral("--name"), QStringLiteral("castle")}
            << QByteArray("A project called castle already exists!\n") << QByteArray();
        QTest::newRow("refused name")
            << QStringList{QStringLiteral("--name"), QStringLiteral("..")}
            << QByteArray("\"..\" is not a valid project name: a project name is the name of one "
                          "folder, without \"/\" or \"\\\", and not \".\" or \"..\".\n")
            << QByteArray();
        QTest::newRow("no name") << QStringList() << QByteArray()
                                 << QByteArray("Usage: talmero-cli generate FILE.dlg --name NAME");
        QTest::newRow("unknown option")
            << QStringList{QStringLiteral("--name"), QStringLiteral("a"), QStringLiteral("--force")}
            << QByteArray()
            << QByteArray("talmero-cli generate: unexpected argument "
                          "'--force'");
    }
    void failures()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, out);
        QFETCH(QByteArray, errStart);

        Program program;
        QDir(program.path(QStringLiteral("Projects"))).mkpath(QStringLiteral("castle"));
        const Result r =
            program.generate(QStringList{program.document(), QStringLiteral("--program-folder"),
                                         program.dir.path()} +
                             arguments);
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(r.out, out);
        QVERIFY2(r.err.startsWith(errStart), r.err.constData());
        QCOMPARE(QDir(program.path(QStringLiteral("Projects")))
                     .entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("castle")});
    }

    // A received document may name any file as its configuration: a device or a FIFO is
    // refused at once and without memory to speak of, before any project folder is made.
    void specialConfigurationReadsAsMissing_data()
    {
        QTest::addColumn<QString>("config");
        QTest::newRow("device") << "/dev/zero";
        QTest::newRow("fifo") << "fifo.ini";
        QTest::newRow("link to a device") << "zero.ini";
    }
    void specialConfigurationReadsAsMissing()
    {
#ifdef Q_OS_WIN
        QSKIP("FIFOs and device files are POSIX's");
#else
        QFETCH(QString, config);
        Program program;
        QVERIFY(::mkfifo(QFile::encodeName(program.path(QStringLiteral("fifo.ini"))).constData(),
                         0600) == 0);
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), program.path(QStringLiteral("zero.ini"))));
        DialogTree tree;
        tree.addChild(tree.addSibling(nullptr, NodeText::root()),
                      NodeText::config(QFile::encodeName(config)));
        DlgFile::save(tree, program.document(), {});
        const Result r =
            program.generate({program.document(), QStringLiteral("--name"), QStringLiteral("z"),
                              QStringLiteral("--program-folder"), program.dir.path()});
        QVERIFY2(r.out.startsWith("Cannot open file") && r.out.endsWith("Not a regular file\n"),
                 r.out.constData());
        QCOMPARE(r.exitCode, 1);
        QVERIFY(!QFileInfo::exists(program.path(QStringLiteral("Projects/z"))));
#endif
    }

    void overlongNameIsRefused()
    {
        Program program;
        const Result r =
            program.generate({program.document(), QStringLiteral("--name"), QString(256, u'n'),
                              QStringLiteral("--program-folder"), program.dir.path()});
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(r.err.contains("--name takes at most 255 characters"), r.err.constData());
        QVERIFY(QDir(program.path(QStringLiteral("Projects"))).isEmpty());
    }

    void unreadableDocument()
    {
        Program program;
        const QString missing = program.path(QStringLiteral("missing.dlg"));
        const Result r = program.generate({missing, QStringLiteral("--name"), QStringLiteral("a"),
                                           QStringLiteral("--program-folder"), program.dir.path()});
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(r.out, QByteArray());
        QVERIFY2(r.err.startsWith("Cannot open file \"" +
                                  QFile::encodeName(QDir::toNativeSeparators(missing)) + "\". "),
                 r.err.constData());
    }
};

QTEST_APPLESS_MAIN(TestGenerate)
#include "test_generate.moc"
