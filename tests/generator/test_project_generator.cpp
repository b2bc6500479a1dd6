#include "document/config_node.h"
#include "document/dialog_tree.h"
#include "document/node_text.h"
#include "generator/project_generator.h"
#include "platform/app_error.h"
#include "platform/native_path.h"
#include "platform/program_folder.h"
#include "scripted_prompter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kSuccess = QStringLiteral("Project folder created successfully!");

// A program folder in a temporary folder with the runtime files in bin/, art files for a
// configuration, and a document whose configuration line names Configs/castle.ini.
class Setup
{
public:
    Setup()
    {
        QDir(dir.path()).mkpath(QStringLiteral("Projects"));
        put(QStringLiteral("bin/Dialog.dll"), "runtime library");
        put(QStringLiteral("bin/PanelEvent.wdl"), "companion script");
        for (const char *name :
             {"bg.bmp", "cup.bmp", "cdown.bmp", "cover.bmp", "nup.bmp", "ndown.bmp", "nover.bmp",
              "text.pcx", "chars.pcx", "entity.bmp", "player.bmp"})
            put(QStringLiteral("art/") + QLatin1String(name), QByteArray("art ") + name);
        tree.addSibling(nullptr, NodeText::root());
        ConfigNode::set(tree, QFile::encodeName(configPath()));
    }

    QString path(const QString &relative) const { return dir.filePath(relative); }
    QString configPath() const { return path(QStringLiteral("Configs/castle.ini")); }
    QString project(const QString &name) const
    {
        return folder.shippedFile(QStringLiteral("Projects/") + name + u'/');
    }
    QByteArray art(const char *name) const
    {
        return QFile::encodeName(path(QStringLiteral("art/") + QLatin1String(name)));
    }

    void put(const QString &relative, const QByteArray &bytes) const
    {
        QDir(dir.path()).mkpath(QFileInfo(relative).path());
        QFile file(path(relative));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    // Every key, each naming its own art file; extra lines follow the sections they name.
    QByteArray fullConfig(const QByteArray &appearance = {}, const QByteArray &avatars = "1",
                          const QByteArray &main = {}) const
    {
        return "[Appearance]\r\n" + appearance + "bgimage=" + art("bg.bmp") +
               "\r\nchoiceup=" + art("cup.bmp") + "\r\nchoicedown=" + art("cdown.bmp") +
               "\r\nchoiceover=" + art("cover.bmp") + "\r\nnextup=" + art("nup.bmp") +
               "\r\nnextdown=" + art("ndown.bmp") + "\r\nnextover=" + art("nover.bmp") +
               "\r\n[Font]\r\nTextboxfont=" + art("text.pcx") +
               "\r\nCharactertextboxfont=" + art("chars.pcx") +
               "\r\n[CharacterTextBox]\r\nAvatarEnabled=" + avatars +
               "\r\nEntityImage=" + art("entity.bmp") + "\r\nPlayerImage=" + art("player.bmp") +
               "\r\n[Main]\r\n" + main;
    }
    void writeConfig(const QByteArray &ini) const
    {
        put(QStringLiteral("Configs/castle.ini"), ini);
    }

    // Runs the generator; the input box answers with name (nothing: Cancel).
    bool run(const std::optional<QString> &name,
             const QString &currentFileName = QStringLiteral("/work/story.dlg"))
    {
        prompter.inputAnswers.append(name);
        ProjectGenerator generator(prompter, folder);
        return generator.run(tree, currentFileName, [this](const QString &target) {
            written << target;
            QFile file(target);
            if (!file.open(QIODevice::WriteOnly))
                throw AppError::cannotCreate(target, file.errorString());
            file.write("document of " + QByteArray::number(tree.count()) + " nodes");
        });
    }

    QStringList projectFiles(const QString &name) const
    {
        return QDir(project(name))
            .entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    }
    QStringList projects() const
    {
        return QDir(path(QStringLiteral("Projects")))
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    QTemporaryDir dir;
    ProgramFolder folder{dir.path()};
    DialogTree tree;
    ScriptedPrompter prompter;
    QStringList written;
};

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

class TestProjectGenerator : public QObject
{
    Q_OBJECT

private slots:
    void generatesEveryFile()
    {
        Setup setup;
        setup.writeConfig(setup.fullConfig());
        QVERIFY(setup.run(QStringLiteral("castle")));

        QCOMPARE(setup.prompter.messages(), QStringList{kSuccess});
        QCOMPARE(setup.prompter.inputInitials, QStringList{QStringLiteral("story")});
        QCOMPARE(setup.prompter.shown.first().text, QStringLiteral("Project name"));
        QCOMPARE(setup.prompter.inputPrompts,
                 QStringList{QStringLiteral("Please enter a project name")});
        QCOMPARE(setup.prompter.inputMaxLengths, QList<int>{255});
        QCOMPARE(setup.projectFiles(QStringLiteral("castle")),
                 QStringList({QStringLiteral("Dialog.dll"), QStringLiteral("PanelEvent.wdl"),
                              QStringLiteral("WDLAction.wdl"), QStringLiteral("bg.bmp"),
                              QStringLiteral("castle.ini"), QStringLiteral("cdown.bmp"),
                              QStringLiteral("chars.pcx"), QStringLiteral("cover.bmp"),
                              QStringLiteral("cup.bmp"), QStringLiteral("entity.bmp"),
                              QStringLiteral("ndown.bmp"), QStringLiteral("nover.bmp"),
                              QStringLiteral("nup.bmp"), QStringLiteral("player.bmp"),
                              QStringLiteral("story.dlg"), QStringLiteral("text.pcx")}));
        const QString project = setup.project(QStringLiteral("castle"));
        QCOMPARE(contents(project + QStringLiteral("nover.bmp")), QByteArray("art nover.bmp"));
        QCOMPARE(contents(project + QStringLiteral("Dialog.dll")), QByteArray("runtime library"));
        QCOMPARE(contents(project + QStringLiteral("castle.ini")), setup.fullConfig());
        QCOMPARE(setup.written, QStringList{project + QStringLiteral("story.dlg")});
        QCOMPARE(contents(project + QStringLiteral("story.dlg")),
                 QByteArray("document of 2 nodes"));

        const QString golden = QFINDTESTDATA("wdl_action_story.wdl");
        QVERIFY(!golden.isEmpty());
        QCOMPARE(contents(project + QStringLiteral("WDLAction.wdl")), contents(golden));
        // The generator leaves the document alone.
        QCOMPARE(setup.tree.count(), 2);
    }

    void scriptLines_data()
    {
        QTest::addColumn<QByteArray>("main");
        QTest::addColumn<QString>("document");
        QTest::addColumn<QByteArray>("line10");
        QTest::addColumn<QByteArray>("line14");

        QTest::newRow("missing Starton")
            << QByteArray() << QStringLiteral("/work/story.dlg")
            << QByteArray("   StartDialog(\"story.dlg\",\"PlayerName\","
                          "\"EntityName\");")
            << QByteArray("  my.enable_click = on;");
        QTest::newRow("Starton scan, blank in the name")
            << QByteArray("starton = \"scan\"\r\n") << QStringLiteral("/work/my story.dlg")
            << QByteArray("   StartDialog(\"my story.dlg\",\"PlayerName\",\"EntityName\");")
            << QByteArray("  my.enable_scan = on;");
    }
    void scriptLines()
    {
        QFETCH(QByteArray, main);
        QFETCH(QString, document);
        QFETCH(QByteArray, line10);
        QFETCH(QByteArray, line14);

        Setup setup;
        setup.writeConfig(setup.fullConfig({}, "1", main));
        QVERIFY(setup.run(std::nullopt, document));
        const QString name = ProjectGenerator::proposal(QFileInfo(document).fileName());
        const QList<QByteArray> lines =
            contents(setup.project(name) + QStringLiteral("WDLAction.wdl")).split('\n');
        QCOMPARE(lines.size(), 18); // 17 lines, each ended by CR LF
        QCOMPARE(lines.last(), QByteArray());
        QCOMPARE(lines[9], line10 + '\r');
        QCOMPARE(lines[13], line14 + '\r');
    }

    void proposal_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("expected");
        QTest::newRow("story.dlg") << QStringLiteral("story.dlg") << QStringLiteral("story");
        QTest::newRow("blank") << QStringLiteral("my story.dlg") << QStringLiteral("my story");
        QTest::newRow("no extension") << QStringLiteral("castle") << QStringLiteral("ca");
        QTest::newRow("four characters") << QStringLiteral("a.dl") << QString();
        QTest::newRow("five characters") << QStringLiteral("a.dlg") << QStringLiteral("a");
    }
    void proposal()
    {
        QFETCH(QString, file);
        QFETCH(QString, expected);
        QCOMPARE(ProjectGenerator::proposal(file), expected);
    }

    void cancelGoesOnWithTheProposal()
    {
        Setup setup;
        setup.writeConfig(setup.fullConfig());
        QVERIFY(setup.run(std::nullopt));
        QCOMPARE(setup.projects(), QStringList{QStringLiteral("story")});
        QVERIFY(QFile::exists(setup.project(QStringLiteral("story")) +
                              QStringLiteral("WDLAction.wdl")));
    }

    void generatingTwiceChangesNothing()
    {
        Setup setup;
        setup.writeConfig(setup.fullConfig());
        QVERIFY(setup.run(QStringLiteral("story")));
        const QStringList before = setup.projectFiles(QStringLiteral("story"));
        setup.prompter.clear();
        setup.written.clear();
        setup.put(QStringLiteral("art/bg.bmp"), "changed art");

        QVERIFY(!setup.run(QStringLiteral("story")));
        QCOMPARE(setup.prompter.messages(),
                 QStringList{QStringLiteral("A project called story already exists!")});
        QCOMPARE(setup.projectFiles(QStringLiteral("story")), before);
        QCOMPARE(contents(setup.project(QStringLiteral("story")) + QStringLiteral("bg.bmp")),
                 QByteArray("art bg.bmp"));
        QVERIFY(setup.written.isEmpty());
    }

    void sameFileNameKeepsTheFirst()
    {
        Setup setup;
        setup.put(QStringLiteral("other/cup.bmp"), "the next button");
        const QByteArray other = QFile::encodeName(setup.path(QStringLiteral("other/cup.bmp")));
        QByteArray ini = setup.fullConfig();
        ini.replace("nextup=" + setup.art("nup.bmp"), "nextup=" + other);
        setup.writeConfig(ini);

        QVERIFY(setup.run(QStringLiteral("castle")));
        QCOMPARE(setup.prompter.messages(), QStringList{kSuccess});
        QCOMPARE(contents(setup.project(QStringLiteral("castle")) + QStringLiteral("cup.bmp")),
                 QByteArray("art cup.bmp"));
        QVERIFY(
            !QFile::exists(setup.project(QStringLiteral("castle")) + QStringLiteral("nup.bmp")));
    }

    void optionalFiles_data()
    {
        QTest::addColumn<QByteArray>("avatars");
        QTest::addColumn<QString>("missing");
        QTest::addColumn<QStringList>("absent");

        QTest::newRow("avatars off, avatar missing")
            << QByteArray("0") << QStringLiteral("art/entity.bmp")
            << QStringList({QStringLiteral("entity.bmp"), QStringLiteral("player.bmp")});
        QTest::newRow("avatars true is off")
            << QByteArray("true") << QString()
            << QStringList({QStringLiteral("entity.bmp"), QStringLiteral("player.bmp")});
        QTest::newRow("avatars empty is off")
            << QByteArray("") << QString()
            << QStringList({QStringLiteral("entity.bmp"), QStringLiteral("player.bmp")});
        QTest::newRow("avatars 0x10 is on") << QByteArray("0x10") << QString() << QStringList();
        QTest::newRow("text box font missing") << QByteArray("1") << QStringLiteral("art/text.pcx")
                                               << QStringList{QStringLiteral("text.pcx")};
        QTest::newRow("both fonts missing")
            << QByteArray("1") << QStringLiteral("art/chars.pcx")
            << QStringList({QStringLiteral("chars.pcx"), QStringLiteral("text.pcx")});
    }
    void optionalFiles()
    {
        QFETCH(QByteArray, avatars);
        QFETCH(QString, missing);
        QFETCH(QStringList, absent);

        Setup setup;
        setup.writeConfig(setup.fullConfig({}, avatars));
        if (!missing.isEmpty())
            QVERIFY(QFile::remove(setup.path(missing)));
        if (absent.contains(QStringLiteral("text.pcx")))
            QFile::remove(setup.path(QStringLiteral("art/text.pcx")));

        QVERIFY(setup.run(QStringLiteral("castle")));
        QCOMPARE(setup.prompter.messages(), QStringList{kSuccess});
        const QStringList files = setup.projectFiles(QStringLiteral("castle"));
        for (const QString &file : absent)
            QVERIFY2(!files.contains(file), qPrintable(file));
        QCOMPARE(files.size(), 16 - absent.size());
    }

    void missingRequiredFileStops_data()
    {
        QTest::addColumn<QString>("remove");

        QTest::newRow("bgimage") << QStringLiteral("art/bg.bmp");
        QTest::newRow("nextover") << QStringLiteral("art/nover.bmp");
        QTest::newRow("player avatar") << QStringLiteral("art/player.bmp");
        QTest::newRow("runtime library") << QStringLiteral("bin/Dialog.dll");
        QTest::newRow("companion script") << QStringLiteral("bin/PanelEvent.wdl");
    }
    void missingRequiredFileStops()
    {
        QFETCH(QString, remove);

        Setup setup;
        setup.writeConfig(setup.fullConfig());
        const QByteArray kept = contents(setup.path(remove));
        // The runtime files are named by the program, the images as the configuration writes them.
        const QString shownPath = remove.startsWith(u"bin/")
                                      ? QDir::toNativeSeparators(setup.path(remove))
                                      : setup.path(remove);
        QVERIFY(QFile::remove(setup.path(remove)));
        QVERIFY(!setup.run(QStringLiteral("castle")));
        QCOMPARE(setup.prompter.messages(),
                 QStringList{shownPath + QStringLiteral(" does not exist!")});
        // What the run had made is gone, so the same name works once the file is back.
        QCOMPARE(setup.projects(), QStringList());
        QVERIFY(setup.written.isEmpty());
        setup.put(remove, kept);
        setup.prompter.clear();
        QVERIFY(setup.run(QStringLiteral("castle")));
        QCOMPARE(setup.prompter.messages(), QStringList{kSuccess});
    }

    void stoppedRunKeepsWhatWasThereBefore()
    {
        // A folder made between the check and the run's own creation is not the run's.
        Setup setup;
        setup.writeConfig(setup.fullConfig());
        QVERIFY(QFile::remove(setup.path(QStringLiteral("bin/Dialog.dll"))));
        setup.prompter.inputAnswers.append(QStringLiteral("castle"));
        ProjectGenerator generator(setup.prompter, setup.folder);
        QVERIFY(
            !generator.run(setup.tree, QStringLiteral("/work/story.dlg"), [](const QString &) {}));
        QCOMPARE(setup.projects(), QStringList());
        QVERIFY(QDir(setup.path(QStringLiteral("Projects"))).exists());
    }

    void scriptBreakingValuesStop_data()
    {
        QTest::addColumn<QByteArray>("main");
        QTest::addColumn<QString>("document");
        QTest::addColumn<QString>("start");

        QTest::newRow("Starton with a blank")
            << QByteArray("Starton=click = off; x\r\n") << QStringLiteral("/work/story.dlg")
            << QStringLiteral("The configuration's Starton");
        QTest::newRow("empty Starton")
            << QByteArray("Starton=\r\n") << QStringLiteral("/work/story.dlg")
            << QStringLiteral("The configuration's Starton");
        QTest::newRow("quote in the document name")
            << QByteArray() << QStringLiteral("/work/say \"hi\".dlg")
            << QStringLiteral("The document name say \"hi\".dlg holds a double quote");
        QTest::newRow("line break in the document name")
            << QByteArray() << QStringLiteral("/work/two\nlines.dlg")
            << QStringLiteral("The document name two lines.dlg holds a line break");
        QTest::newRow("character outside Windows-1252")
            << QByteArray() << QStringLiteral("/work/\u0142\u00f3d\u017a.dlg")
            << QStringLiteral("The document name \u0142\u00f3d\u017a.dlg holds the character "
                              "\"\u0142\" (U+0142), which WDLAction.wdl cannot hold");
        for (const char *name : {"DIALOG.dll", "PanelEvent.WDL", "wdlaction.wdl. ", "Castle.INI"}) {
            QTest::newRow(name) << QByteArray() << QStringLiteral("/work/") + QLatin1String(name)
                                << QStringLiteral("The document name %1 is that of a file the "
                                                  "project generator writes itself")
                                       .arg(QLatin1String(name));
        }
    }
    void scriptBreakingValuesStop()
    {
        QFETCH(QByteArray, main);
        QFETCH(QString, document);
        QFETCH(QString, start);
        Setup setup;
        setup.writeConfig(setup.fullConfig({}, "1", main));
        QVERIFY(!setup.run(QStringLiteral("castle"), document));
        QCOMPARE(setup.prompter.messages().size(), 1);
        QVERIFY2(setup.prompter.messages().first().startsWith(start),
                 qPrintable(setup.prompter.messages().first()));
        QCOMPARE(setup.projects(), QStringList());
    }

    void imageNamedLikeAGeneratedFileStops_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("runtime library") << QStringLiteral("Dialog.dll");
        QTest::newRow("companion script, other case") << QStringLiteral("panelevent.wdl");
        QTest::newRow("script") << QStringLiteral("WDLAction.wdl");
        QTest::newRow("configuration") << QStringLiteral("castle.ini");
        QTest::newRow("document") << QStringLiteral("story.dlg");
    }
    void imageNamedLikeAGeneratedFileStops()
    {
        QFETCH(QString, name);
        Setup setup;
        setup.put(QStringLiteral("other/") + name, "art");
        const QByteArray path = QFile::encodeName(setup.path(QStringLiteral("other/") + name));
        QByteArray ini = setup.fullConfig();
        ini.replace("choiceover=" + setup.art("cover.bmp"), "choiceover=" + path);
        setup.writeConfig(ini);
        QVERIFY(!setup.run(QStringLiteral("castle")));
        QCOMPARE(setup.prompter.messages(),
                 QStringList{QStringLiteral("The configuration names %1, whose file name is that "
                                            "of a file the project generator writes itself. "
                                            "Rename that file.")
                                 .arg(setup.path(QStringLiteral("other/") + name))});
        QCOMPARE(setup.projects(), QStringList());
    }

    // The file looked for is named, a relative one as found from the current folder, and no
    // project folder is left behind.
    void missingConfigurationFile()
    {
        Setup setup;
        QVERIFY(!setup.run(QStringLiteral("castle")));
        QCOMPARE(setup.prompter.messages(),
                 QStringList{nativePath(setup.configPath()) + QStringLiteral(" does not exist!")});
        ConfigNode::set(setup.tree, "Configs/castle.ini");
        QVERIFY(!setup.run(QStringLiteral("castle")));
        QCOMPARE(setup.prompter.messages().last(), nativePath(QDir::current().absoluteFilePath(
                                                       QStringLiteral("Configs/castle.ini"))) +
                                                       QStringLiteral(" does not exist!"));
        QCOMPARE(setup.projects(), QStringList());
    }

    void noConfigurationLine()
    {
        Setup setup;
        setup.tree.remove(setup.tree.nodeAt(1));
        QVERIFY(!setup.run(QStringLiteral("castle")));
        QCOMPARE(setup.prompter.messages(),
                 QStringList{QStringLiteral("Config file was not found!")});
        QVERIFY(setup.prompter.inputInitials.isEmpty());
        QCOMPARE(setup.projects(), QStringList());
    }

    void configurationPathFromTheTenthCharacter()
    {
        DialogTree tree;
        QVERIFY(!ConfigNode::path(tree));
        DialogNode *root = tree.addSibling(nullptr, NodeText::root());
        QVERIFY(!ConfigNode::path(tree));
        ConfigNode::set(tree, "/a/first.ini");
        ConfigNode::set(tree, "/a/second.ini");
        QCOMPARE(root->childCount(), 1);
        QCOMPARE(root->firstChild()->text(), QByteArray("Config = /a/second.ini"));
        QCOMPARE(*ConfigNode::path(tree), QByteArray("/a/second.ini"));
        // The first nine characters are not checked.
        tree.setText(root->firstChild(), "Settings:/b/c.ini");
        QCOMPARE(*ConfigNode::path(tree), QByteArray("/b/c.ini"));
        tree.setText(root->firstChild(), "Config");
        QCOMPARE(*ConfigNode::path(tree), QByteArray());
    }

    void neverSavedDocumentCreatesNothing()
    {
        Setup setup;
        setup.writeConfig(setup.fullConfig());
        QVERIFY(!setup.run(QStringLiteral("castle"), QString()));
        QCOMPARE(
            setup.prompter.messages(),
            QStringList{QStringLiteral("Please save the dialog before generating a project!")});
        QVERIFY(setup.prompter.inputInitials.isEmpty());
        QCOMPARE(setup.projects(), QStringList());
    }

    void refusedNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");

        const QString empty = QStringLiteral("The project name must not be empty!");
        const auto invalid = [](const QString &name) {
            return u'"' + name +
                   QStringLiteral("\" is not a valid project name: a project name is the name of "
                                  "one folder, without \"/\" or \"\\\", and not \".\" or \"..\".");
        };
        QTest::newRow("empty") << QString() << empty;
        QTest::newRow("blanks") << QStringLiteral("  \t") << empty;
        QTest::newRow("dot") << QStringLiteral(".") << invalid(QStringLiteral("."));
        QTest::newRow("dot dot") << QStringLiteral("..") << invalid(QStringLiteral(".."));
        QTest::newRow("dots and blanks") << QStringLiteral(". .") << invalid(QStringLiteral(". ."));
        QTest::newRow("slash") << QStringLiteral("a/b") << invalid(QStringLiteral("a/b"));
        QTest::newRow("backslash") << QStringLiteral("a\\b") << invalid(QStringLiteral("a\\b"));
        QTest::newRow("upwards") << QStringLiteral("../../x") << invalid(QStringLiteral("../../x"));
        QTest::newRow("absolute") << QStringLiteral("/tmp/x") << invalid(QStringLiteral("/tmp/x"));
    }
    void refusedNames()
    {
        QFETCH(QString, name);
        QFETCH(QString, message);

        Setup setup;
        setup.writeConfig(setup.fullConfig());
        QVERIFY(!setup.run(name));
        QCOMPARE(setup.prompter.messages(), QStringList{message});
        QCOMPARE(setup.projects(), QStringList());
        QCOMPARE(
            QDir(setup.dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name),
            QStringList({QStringLiteral("Configs"), QStringLiteral("Projects"),
                         QStringLiteral("art"), QStringLiteral("bin")}));
    }

    void acceptedNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("blank inside") << QStringLiteral("my story");
        QTest::newRow("leading dot") << QStringLiteral(".hidden");
        QTest::newRow("dots inside") << QStringLiteral("a..b");
    }
    void acceptedNames()
    {
        QFETCH(QString, name);
        Setup setup;
        setup.writeConfig(setup.fullConfig());
        QVERIFY(setup.run(name));
        QCOMPARE(setup.projects(), QStringList{name});
    }

    void missingProjectsFolderStops()
    {
        Setup setup;
        setup.writeConfig(setup.fullConfig());
        QVERIFY(QDir(setup.path(QStringLiteral("Projects"))).removeRecursively());
        QVERIFY(!setup.run(QStringLiteral("castle")));
        QVERIFY(setup.prompter.messages().isEmpty());
        QCOMPARE(setup.prompter.errors().size(), 1);
        const QString folder = setup.path(QStringLiteral("Projects/castle"));
        QVERIFY2(setup.prompter.errors().first().startsWith(
                     QStringLiteral("Cannot create the project folder \"") +
                     QDir::toNativeSeparators(folder) + QStringLiteral("\". ")),
                 qPrintable(setup.prompter.errors().first()));
        QVERIFY(setup.written.isEmpty());
    }

    void failedCopyStops()
    {
#ifdef Q_OS_WIN
        QSKIP("POSIX permissions");
#else
        Setup setup;
        setup.writeConfig(setup.fullConfig());
        const QString source = setup.path(QStringLiteral("art/cover.bmp"));
        QVERIFY(QFile::setPermissions(source, QFileDevice::Permissions()));
        if (QFile(source).open(QIODevice::ReadOnly))
            QSKIP("this user reads files without read permission");

        QVERIFY(!setup.run(QStringLiteral("castle")));
        QVERIFY(setup.prompter.messages().isEmpty());
        QCOMPARE(setup.prompter.errors().size(), 1);
        const QString expected =
            QStringLiteral("Cannot copy \"%1\" to \"%2\". ")
                .arg(source, setup.project(QStringLiteral("castle")) + QStringLiteral("cover.bmp"));
        QVERIFY2(setup.prompter.errors().first().startsWith(expected),
                 qPrintable(setup.prompter.errors().first()));
        // The command stopped at the failed copy.
        QVERIFY(
            !QFile::exists(setup.project(QStringLiteral("castle")) + QStringLiteral("nup.bmp")));
        QVERIFY(setup.written.isEmpty());
#endif
    }

    void shippedExampleGenerates()
    {
        // The example names its files relative to the program folder, which is the current
        // directory when the program is started from its folder.
        Setup setup;
        const QString shipped = QStringLiteral(TALMERO_SOURCE_DIR "/data/Configs");
        QDir examples(shipped + QStringLiteral("/Example"));
        QVERIFY(QDir().mkpath(setup.path(QStringLiteral("Configs/Example"))));
        for (const QString &file : examples.entryList(QDir::Files))
            QVERIFY(QFile::copy(examples.filePath(file),
                                setup.path(QStringLiteral("Configs/Example/") + file)));
        QVERIFY(QFile::copy(shipped + QStringLiteral("/Example.ini"),
                            setup.path(QStringLiteral("Configs/Example.ini"))));
        ConfigNode::set(setup.tree, "Configs/Example.ini");

        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(setup.dir.path()));
        const bool done = setup.run(std::nullopt);
        QDir::setCurrent(previous);

        QVERIFY(done);
        QCOMPARE(setup.prompter.messages(), QStringList{kSuccess});
        QCOMPARE(setup.projectFiles(QStringLiteral("story")).size(),
                 examples.entryList(QDir::Files).size() + 5);
        QVERIFY(
            QFile::exists(setup.project(QStringLiteral("story")) + QStringLiteral("Example.ini")));
    }

    void failedDocumentWriteStops()
    {
        Setup setup;
        setup.writeConfig(setup.fullConfig());
        setup.prompter.inputAnswers.append(QStringLiteral("castle"));
        ProjectGenerator generator(setup.prompter, setup.folder);
        const bool done =
            generator.run(setup.tree, QStringLiteral("/work/story.dlg"), [](const QString &target) {
                throw AppError::cannotCreate(target, QStringLiteral("Disk full"));
            });
        QVERIFY(!done);
        QVERIFY(setup.prompter.messages().isEmpty());
        QCOMPARE(
            setup.prompter.errors(),
            QStringList{QStringLiteral("Cannot create file \"%1\". Disk full")
                            .arg(QDir::toNativeSeparators(setup.project(QStringLiteral("castle")) +
                                                          QStringLiteral("story.dlg")))});
        QVERIFY(!QFile::exists(setup.project(QStringLiteral("castle")) +
                               QStringLiteral("WDLAction.wdl")));
    }
};

QTEST_APPLESS_MAIN(TestProjectGenerator)
#include "test_project_generator.moc"
