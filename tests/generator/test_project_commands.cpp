#include "app/talmero_app.h"
#include "app/tform1.h"
#include "document/dialog_tree.h"
#include "recording_shell.h"
#include "scripted_prompter.h"

#include <QAction>
#include <QTemporaryDir>
#include <QTest>

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
        app = std::make_unique<TalmeroApp>(ProgramFolder(folder.path()), prompter, shell,
                                           QStringList());
    }
    TForm1 &form() { return app->mainWindow(); }
    DialogNode *root() { return form().document().firstNode(); }
};

} // namespace

class TestProjectCommands : public QObject
{
    Q_OBJECT

private slots:
    void changeConfigFile()
    {
        Program program;
        QCOMPARE(program.form().Edit4->text(), QStringLiteral("Change config file..."));
        QCOMPARE(program.form().Edit4->shortcut(), QKeySequence(QStringLiteral("Ctrl+E")));

        program.prompter.fileAnswers = {QStringLiteral("/games/first.ini"),
                                        QStringLiteral("/games/caf\u00e9.ini")};
        program.form().Edit4->trigger();
        QCOMPARE(program.prompter.fileRequests.size(), 1);
        const FileDialogRequest &request = program.prompter.fileRequests.first();
        QCOMPARE(request.kind, FileDialogRequest::Open);
        QCOMPARE(request.name, QStringLiteral("OpenDialog2"));
        QCOMPARE(request.filterText, QStringLiteral("*.ini"));
        QCOMPARE(request.filterPattern, QStringLiteral("*.ini"));
        QCOMPARE(request.initialFolder, program.folder.path() + QStringLiteral("/Configs/"));
        QCOMPARE(program.root()->childCount(), 1);
        QCOMPARE(program.root()->firstChild()->text(), QByteArray("Config = /games/first.ini"));
        QVERIFY(program.form().Modified);

        // A second choice replaces the line; the path keeps its ANSI characters.
        program.form().Modified = false;
        program.form().Edit4->trigger();
        QCOMPARE(program.root()->childCount(), 1);
        QCOMPARE(program.root()->firstChild()->text(), QByteArray("Config = /games/caf\xe9.ini"));
        QVERIFY(program.form().Modified);
        QCOMPARE(program.form().document().count(), 2);
    }

    void cancelKeepsTheLine()
    {
        Program program;
        program.prompter.fileAnswers = {QStringLiteral("/games/first.ini"), std::nullopt};
        program.form().Edit4->trigger();
        program.form().Modified = false;
        program.form().Edit4->trigger();
        QCOMPARE(program.prompter.fileRequests.size(), 2);
        QCOMPARE(program.root()->firstChild()->text(), QByteArray("Config = /games/first.ini"));
        QVERIFY(!program.form().Modified);
    }

    void everyChildOfRootGoes()
    {
        // A file written elsewhere may hold more under "Root"; choosing leaves one line.
        Program program;
        DialogTree &tree = program.form().document();
        DialogNode *extra = tree.addChild(program.root(), "Config = /a.ini");
        tree.addChild(extra, "nested");
        tree.addChild(program.root(), "Config = /b.ini");
        tree.addSibling(program.root(), "Dialog1");
        program.prompter.fileAnswers = {QStringLiteral("/games/castle.ini")};
        program.form().Edit4->trigger();
        QCOMPARE(program.root()->childCount(), 1);
        QCOMPARE(program.root()->firstChild()->text(), QByteArray("Config = /games/castle.ini"));
        QCOMPARE(tree.count(), 3);
        QCOMPARE(tree.nodeAt(2)->text(), QByteArray("Dialog1"));
    }
};

QTEST_MAIN(TestProjectCommands)
#include "test_project_commands.moc"
