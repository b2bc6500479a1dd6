#include "cli_run.h"
#include "test_documents.h"
#include "test_files.h"

#include "document/dialog_tree.h"
#include "persistence/dlg_file.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

// Every action on the way: the guard sets and calls; the first answer removes itself and comes
// back; the second removes Dialog5; after the choice, Dialog5 and the end.
const QByteArray kStory = "Root\n"
                          "Dialog1\n  Type = Text\n  Speaker = Entity\n  Text = Halt!\n"
                          "  Set Short gold = 5\n  Call = Greet, guard, 2\n"
                          "Dialog2\n"
                          "  Choice = 1\n    Text = A friend\n"
                          "    Dialog3\n      Type = Text\n      Speaker = Player\n"
                          "      Text = A friend.\n      Delete = 1 from 2\n      Goto = 2\n"
                          "  Choice = 2\n    Text = Gold\n"
                          "    Dialog4\n      Type = Text\n      Speaker = Player\n"
                          "      Text = Take it.\n      Delete = 5\n"
                          "Dialog5\n  Type = Text\n  Speaker = Entity\n  Text = Pass.\n"
                          "Dialog6\n  Type = Text\n  Speaker = Entity\n  Text = Farewell.\n";

const QByteArray kOpening = "Dialog1 Entity: Halt!\n"
                            "  Set Short gold = 5 -> gold = 5\n"
                            "  Call = Greet, guard, 2 -> Greet(guard, 2)\n"
                            "Dialog2 choice\n"
                            "  1. A friend\n"
                            "  2. Gold\n";

// The first answer, and the choice offered again without it.
const QByteArray kFriend = "> 1\n"
                           "Dialog3 Player: A friend.\n"
                           "  Delete = 1 from 2 -> choice 1 of Dialog2 removed (A friend)\n"
                           "  Goto = 2 -> Dialog2\n"
                           "Dialog2 choice\n"
                           "  2. Gold\n";

} // namespace

class TestPlay : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        DialogTree tree;
        addOutline(tree, kStory);
        DlgFile::save(tree, file(), {});
    }

    void playPrintsTheTranscript_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("out");
        QTest::newRow("waits") << QStringList() << 0
                               << kOpening + "End: Dialog2 waits for an answer\n";
        QTest::newRow("answers and state")
            << QStringList{QStringLiteral("--answers"), QStringLiteral("1,2"),
                           QStringLiteral("--state"), QStringLiteral("--set"),
                           QStringLiteral("String who = Tom")}
            << 0
            << kOpening + kFriend +
                   "> 2\n"
                   "Dialog4 Player: Take it.\n"
                   "  Delete = 5 -> Dialog5 removed (Entity: Pass.)\n"
                   "Dialog6 Entity: Farewell.\n"
                   "Set String who = Tom\n"
                   "Set Short gold = 5\n"
                   "Call = Greet, guard, 2\n"
                   "Removed choice 1 of Dialog2\n"
                   "Removed Dialog5\n"
                   "End: the conversation has ended\n";
        QTest::newRow("not offered")
            << QStringList{QStringLiteral("--answers"), QStringLiteral("1,1")} << 1
            << kOpening + kFriend + "Stopped: answer 1 is not offered at Dialog2 (offered: 2)\n";
        QTest::newRow("from") << QStringList{QStringLiteral("--from"), QStringLiteral("5")} << 0
                              << QByteArray("Dialog5 Entity: Pass.\n"
                                            "Dialog6 Entity: Farewell.\n"
                                            "End: the conversation has ended\n");
        QTest::newRow("answers left")
            << QStringList{QStringLiteral("--from"), QStringLiteral("6"),
                           QStringLiteral("--answers"), QStringLiteral("2")}
            << 1
            << QByteArray("Dialog6 Entity: Farewell.\n"
                          "Stopped: the conversation ended before answer 2 could be taken\n");
        for (const QStringList &wrong :
             {QStringList{QStringLiteral("--from"), QStringLiteral("9")},
              QStringList{QStringLiteral("--set"), QStringLiteral("Short gold = x")},
              QStringList{QStringLiteral("--answers"), QStringLiteral("1,,2")},
              QStringList{QStringLiteral("--frm")}})
            QTest::newRow(qPrintable(wrong.join(u' '))) << wrong << 2 << QByteArray();
    }

    void playPrintsTheTranscript()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, out);
        const CliRun run = runTalmeroCli(QStringList{QStringLiteral("play"), file()} + arguments);
        QCOMPARE(run.out, out);
        QCOMPARE(run.exitCode, exitCode);
        QCOMPARE(run.err.isEmpty(), exitCode != 2);
    }

    // Saved with play --save, a reading agrees with the file; a text changed on its way makes
    // test differ with a diff naming the change, until --accept; a file it cannot read is 2.
    void testReplaysSavedReadings()
    {
        QCOMPARE(
            runTalmeroCli({QStringLiteral("play"), file(), QStringLiteral("--answers"),
                           QStringLiteral("2"), QStringLiteral("--save"), QStringLiteral("Gold")})
                .exitCode,
            0);
        QVERIFY(TestFiles::read(m_dir.filePath(QStringLiteral("Story.readings.txt")))
                    .contains("[Gold]\nanswers = 2\n| Dialog1 Entity: Halt!\n"));
        const CliRun agrees = runTalmeroCli({QStringLiteral("test"), file()});
        QCOMPARE(agrees.out, QByteArray("1 reading(s): 1 agree, 0 differ.\n"));
        QCOMPARE(agrees.exitCode, 0);

        DialogTree tree;
        addOutline(tree, QByteArray(kStory).replace("Farewell.", "Goodbye."));
        DlgFile::save(tree, file(), {});
        const CliRun differs =
            runTalmeroCli({QStringLiteral("test"), file(), QStringLiteral("--coverage")});
        QCOMPARE(differs.exitCode, 1);
        QVERIFY2(differs.out.startsWith("Reading \"Gold\" differs:\n--- Gold (saved)\n"
                                        "+++ Gold (now)\n@@ -"),
                 differs.out.constData());
        QVERIFY(differs.out.contains("\n-Dialog6 Entity: Farewell.\n+Dialog6 Entity: Goodbye.\n"));
        QVERIFY(differs.out.endsWith("Coverage: 4 of 6 dialogs reached, 1 of 2 answers taken\n"
                                     "Not taken: choice 1 of Dialog2 A friend\n"
                                     "Not reached: Dialog3 Player: A friend.\n"
                                     "Not reached: Dialog5 Entity: Pass.\n"));
        QCOMPARE(
            runTalmeroCli({QStringLiteral("test"), file(), QStringLiteral("--accept")}).exitCode,
            0);
        QCOMPARE(runTalmeroCli({QStringLiteral("test"), file()}).exitCode, 0);

        TestFiles::write(m_dir.filePath(QStringLiteral("Story.readings.txt")), "[Gold]\nx = 1\n");
        const CliRun unreadable = runTalmeroCli({QStringLiteral("test"), file()});
        QCOMPARE(unreadable.exitCode, 2);
        QVERIFY(unreadable.err.contains("Story.readings.txt:2: unknown key"));
    }

    void checkReportsADialogAGotoJumpsOver()
    {
        DialogTree tree;
        addOutline(tree, "Root\nDialog1\n  Type = Text\n  Speaker = Entity\n  Text = Go.\n"
                         "  Goto = 3\nDialog2\n  Type = Text\n  Speaker = Entity\n"
                         "  Text = Skipped.\nDialog3\n  Type = Text\n  Speaker = Entity\n"
                         "  Text = End.\n");
        const QString jumping = m_dir.filePath(QStringLiteral("Jump.dlg"));
        DlgFile::save(tree, jumping, {});
        const CliRun run = runTalmeroCli({QStringLiteral("check"), jumping});
        QCOMPARE(run.exitCode, 1);
        QVERIFY(run.out.contains("Dialog2: no reading from Dialog1 reaches this dialog"));
    }

private:
    QString file() const { return m_dir.filePath(QStringLiteral("Story.dlg")); }

    QTemporaryDir m_dir;
};

QTEST_APPLESS_MAIN(TestPlay)
#include "test_play.moc"
