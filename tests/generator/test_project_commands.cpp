#include "document/dialog_tree.h"
#include "document/node_text.h"
#include "persistence/dlg_file.h"
#include "persistence/file_commands.h"
#include "program/talmero_app.h"
#include "recording_shell.h"
#include "scripted_prompter.h"
#include "test_program.h"
#include "windows/main_window.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

namespace {

// The whole program against a temporary program folder, with scripted prompts.
struct Program
{
    QTemporaryDir folder;
    ScriptedPrompter prompter;
    RecordingShell shell;
    std::unique_ptr<TalmeroApp> app;

    Program()
    {
        ShippedData::installFonts(folder.path());
        app = std::make_unique<TalmeroApp>(ProgramFolder(folder.path()), prompter, shell,
                                           QStringList());
    }
    MainWindow &mainWindow() { return app->mainWindow(); }
    DialogNode *root() { return mainWindow().document().firstNode(); }
    QString path(const QString &relative) const { return folder.filePath(relative); }

    void put(const QString &relative, const QByteArray &bytes) const
    {
        QDir(folder.path()).mkpath(QFileInfo(relative).path());
        QFile file(path(relative));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
};

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Every file a configuration names, and the runtime files, in the program folder.
void prepareProject(Program &program)
{
    QDir(program.folder.path()).mkpath(QStringLiteral("Projects"));
    program.put(QStringLiteral("bin/Dialog.dll"), "runtime library");
    program.put(QStringLiteral("bin/PanelEvent.wdl"), "companion script");
    QByteArray ini = "[Appearance]\n";
    for (const char *key :
         {"bgimage", "choiceup", "choicedown", "choiceover", "nextup", "nextdown", "nextover"}) {
        const QString art = QStringLiteral("art/") + QLatin1String(key) + QStringLiteral(".bmp");
        program.put(art, key);
        ini += QByteArray(key) + '=' + QFile::encodeName(program.path(art)) + '\n';
    }
    program.put(QStringLiteral("Configs/castle.ini"), ini);
}

// The configuration node as stored: the path with the platform's separators.
QByteArray configLine(QByteArray path)
{
    return "Config = " + path.replace('/', QDir::separator().toLatin1());
}

} // namespace

class TestProjectCommands : public QObject
{
    Q_OBJECT

private slots:
    void changeConfigFile()
    {
        Program program;
        QCOMPARE(program.mainWindow().changeConfigAction->text(),
                 QStringLiteral("Change config file..."));
        QCOMPARE(program.mainWindow().changeConfigAction->shortcut(),
                 QKeySequence(QStringLiteral("Ctrl+E")));

        program.prompter.fileAnswers = {QStringLiteral("/games/first.ini"),
                                        QStringLiteral("/games/caf\u00e9.ini")};
        program.mainWindow().changeConfigAction->trigger();
        QCOMPARE(program.prompter.fileRequests.size(), 1);
        const FileDialogRequest &request = program.prompter.fileRequests.first();
        QCOMPARE(request.kind, FileDialogRequest::Open);
        QCOMPARE(request.name, QStringLiteral("OpenDialog2"));
        QCOMPARE(request.filterText, QStringLiteral("*.ini"));
        QCOMPARE(request.filterPattern, QStringLiteral("*.ini"));
        QCOMPARE(request.initialFolder, program.folder.path() + QStringLiteral("/Configs/"));
        QCOMPARE(program.root()->childCount(), 1);
        QCOMPARE(program.root()->firstChild()->text(), configLine("/games/first.ini"));
        QVERIFY(program.mainWindow().Modified);

        // A second choice replaces the line; the path keeps its ANSI characters.
        program.mainWindow().Modified = false;
        program.mainWindow().changeConfigAction->trigger();
        QCOMPARE(program.root()->childCount(), 1);
        QCOMPARE(program.root()->firstChild()->text(), configLine("/games/caf\xe9.ini"));
        QVERIFY(program.mainWindow().Modified);
        QCOMPARE(program.mainWindow().document().count(), 2);
    }

    void cancelKeepsTheLine()
    {
        Program program;
        program.prompter.fileAnswers = {QStringLiteral("/games/first.ini"), std::nullopt};
        program.mainWindow().changeConfigAction->trigger();
        program.mainWindow().Modified = false;
        program.mainWindow().changeConfigAction->trigger();
        QCOMPARE(program.prompter.fileRequests.size(), 2);
        QCOMPARE(program.root()->firstChild()->text(), configLine("/games/first.ini"));
        QVERIFY(!program.mainWindow().Modified);
    }

    void everyChildOfRootGoes()
    {
        // A file written elsewhere may hold more under "Root"; choosing leaves one line.
        Program program;
        DialogTree &tree = program.mainWindow().document();
        DialogNode *extra = tree.addChild(program.root(), "Config = /a.ini");
        tree.addChild(extra, "nested");
        tree.addChild(program.root(), "Config = /b.ini");
        tree.addSibling(program.root(), "Dialog1");
        program.prompter.fileAnswers = {QStringLiteral("/games/castle.ini")};
        program.mainWindow().changeConfigAction->trigger();
        QCOMPARE(program.root()->childCount(), 1);
        QCOMPARE(program.root()->firstChild()->text(), configLine("/games/castle.ini"));
        QCOMPARE(tree.count(), 3);
        QCOMPARE(tree.nodeAt(2)->text(), QByteArray("Dialog1"));
    }

    void generateWritesUnsavedChanges()
    {
        Program program;
        prepareProject(program);
        MainWindow &form = program.mainWindow();
        program.prompter.fileAnswers = {program.path(QStringLiteral("Configs/castle.ini"))};
        form.changeConfigAction->trigger();
        const QString document = program.path(QStringLiteral("my story.dlg"));
        form.CurrentFileName = document;
        program.app->fileCommands().save(document);
        const QByteArray saved = contents(document);

        // An edit that no file holds yet.
        DialogTree &tree = form.document();
        tree.setDialogCount(tree.DialogCount() + 1);
        DialogNode *dialog = tree.addSibling(program.root(), NodeText::dialog(tree.DialogCount()));
        tree.addChild(dialog, NodeText::typeText());
        form.Modified = true;

        program.prompter.inputAnswers = {std::nullopt};
        form.generateProjectButton->click();

        QCOMPARE(program.prompter.messages(),
                 QStringList{QStringLiteral("Project folder created successfully!")});
        QCOMPARE(program.prompter.inputInitials, QStringList{QStringLiteral("my story")});
        const QString project = program.path(QStringLiteral("Projects/my story/"));
        program.app->fileCommands().save(program.path(QStringLiteral("expected.dlg")));
        QCOMPARE(contents(project + QStringLiteral("my story.dlg")),
                 contents(program.path(QStringLiteral("expected.dlg"))));
        QVERIFY(
            contents(project + QStringLiteral("WDLAction.wdl"))
                .contains("   StartDialog(\"my story.dlg\",\"PlayerName\",\"EntityName\");\r\n"));
        QVERIFY(QFile::exists(project + QStringLiteral("castle.ini")));

        DialogTree written;
        DlgFile::load(written, project + QStringLiteral("my story.dlg"));
        QCOMPARE(written.count(), 4);
        QCOMPARE(written.nodeAt(2)->text(), QByteArray("Dialog1"));
        // The document, its file and its state are left as they were.
        QCOMPARE(contents(document), saved);
        QCOMPARE(form.CurrentFileName, document);
        QVERIFY(form.Modified);
        QCOMPARE(tree.count(), 4);
        QVERIFY(program.prompter.errors().isEmpty());
    }

    void generateRefusesNeverSavedDocument()
    {
        Program program;
        prepareProject(program);
        program.prompter.fileAnswers = {program.path(QStringLiteral("Configs/castle.ini"))};
        program.mainWindow().changeConfigAction->trigger();
        program.mainWindow().generateProjectButton->click();
        QCOMPARE(
            program.prompter.messages(),
            QStringList{QStringLiteral("Please save the dialog before generating a project!")});
        QCOMPARE(QDir(program.path(QStringLiteral("Projects")))
                     .entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList());
    }

    void generateWithoutConfiguration()
    {
        Program program;
        program.mainWindow().generateProjectButton->click();
        QCOMPARE(program.prompter.messages(),
                 QStringList{QStringLiteral("Config file was not found!")});
    }
};

QTEST_MAIN(TestProjectCommands)
#include "test_project_commands.moc"
