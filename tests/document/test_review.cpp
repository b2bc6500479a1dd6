#include "document/dialog_check.h"
#include "document/dialog_tree.h"
#include "document/node_text.h"
#include "document/read_through.h"
#include "document/reading_lines.h"

#include "test_documents.h"

#include <QElapsedTimer>
#include <QTemporaryFile>
#include <QTest>

namespace {

QStringList lines(const std::vector<CheckFinding> &findings)
{
    QStringList result;
    for (const CheckFinding &finding : findings)
        result << finding.line();
    return result;
}

// The transcript as talmero-cli play prints it.
QStringList summary(const ReadThrough &reader)
{
    return ReadingLines::lines(reader).text;
}

// Entity greets; a choice whose first answer deletes itself and comes back, whose second holds
// a nested choice; a closing dialog after the choice.
const QByteArray kStory = "Root\n"
                          "Dialog1\n"
                          "  Type = Text\n"
                          "  Speaker = Entity\n"
                          "  Text = Halt!\\nWho goes there?\n"
                          "  Set Short met = 1\n"
                          "Dialog2\n"
                          "  Choice = 1\n"
                          "    Text = A friend\n"
                          "    Dialog3\n"
                          "      Type = Text\n"
                          "      Speaker = Player\n"
                          "      Text = A friend.\n"
                          "      Delete = 1 from 2\n"
                          "      Goto = 2\n"
                          "  Choice = 2\n"
                          "    Text = Nobody\n"
                          "    Dialog4\n"
                          "      Choice = 1\n"
                          "        Text = Run\n"
                          "        Dialog5\n"
                          "          Type = Text\n"
                          "          Speaker = Player\n"
                          "          Text = I run.\n"
                          "      Choice = 2\n"
                          "        Text = Stay\n"
                          "Dialog6\n"
                          "  Type = Text\n"
                          "  Speaker = Entity\n"
                          "  Text = Farewell.\n"
                          "  Call = Close, 1\n";

} // namespace

class TestReview : public QObject
{
    Q_OBJECT

private slots:
    void checkFindsOneOfEach()
    {
        DialogTree tree;
        addOutline(tree, "Root\n"
                         "  Config = /nonexistent/talmero/panel.ini\n"
                         "Dialog1\n"
                         "  Type = Text\n"
                         "  Speaker = Player\n"
                         "  Text = Hello\n"
                         "  Goto = 9\n"
                         "  Delete = 5 from 2\n"
                         "  Delete = 1 from 3\n"
                         "  Delete = 7\n"
                         "Dialog2\n"
                         "  Choice = 1\n"
                         "    Text = Yes\n"
                         "    Dialog3\n"
                         "      Type = Text\n"
                         "      Speaker = Entity\n"
                         "      Text = " +
                             QByteArray(250, 'x') +
                             "\n"
                             "      Goto = 3\n"
                             "      Delete = 1 from 2\n"
                             "  Choice = 2\n"
                             "    Text = No\n"
                             "Dialog4\n"
                             "Dialog5\n"
                             "  Type = Text\n"
                             "  Speaker = Nobody\n"
                             "  Text = Bye\n"
                             "  Goto = 1\n"
                             "  Goto = 2\n"
                             "  Set Short gold = 1.5\n"
                             "  Set String name = Tom = Jerry\n");
        const QString longText = QStringLiteral("Text = ") + QString(250, u'x');
        QCOMPARE(
            lines(DialogCheck::check(tree)),
            QStringList({
                QStringLiteral(
                    "Root: Config = /nonexistent/talmero/panel.ini: the configuration file does "
                    "not exist"),
                QStringLiteral("Dialog1: Goto = 9: names Dialog9, which does not exist"),
                QStringLiteral("Dialog1: Delete = 5 from 2: Dialog2 has no choice 5"),
                QStringLiteral("Dialog1: Delete = 1 from 3: Dialog3 is not a choice dialog"),
                QStringLiteral("Dialog1: Delete = 7: names Dialog7, which does not exist"),
                QStringLiteral("Dialog3: ") + longText +
                    QStringLiteral(": is 257 characters long; only the first 255 are saved"),
                QStringLiteral("Dialog3: Goto = 3: goes to its own dialog"),
                QStringLiteral("Dialog4: is a dialog without children"),
                QStringLiteral("Dialog5: Speaker = Nobody: a speaker is Player or Entity"),
                QStringLiteral("Dialog5: Goto = 2: is a second goto; a dialog holds one at most"),
                QStringLiteral(
                    "Dialog5: Set Short gold = 1.5: a Short takes a whole number, digits only"),
                QStringLiteral("Dialog1: a reading can enter the loop Dialog1, Dialog2, Dialog3, "
                               "Dialog4, Dialog5 here and never leave it: no answer on it leads "
                               "out; give one of its answers a way on, or a goto out of it"),
            }));

        // Dialog4 renamed in place to the first dialog's label: the game finds the first.
        DialogNode *fourth = tree.nodeAt(tree.count() - 9);
        QCOMPARE(fourth->text(), QByteArray("Dialog4"));
        tree.setText(fourth, "Dialog1");
        QCOMPARE(lines(DialogCheck::check(tree)).filter(QStringLiteral("label")),
                 QStringList{QStringLiteral("Dialog1: the 1st dialog carries this label too; the "
                                            "game finds that one, never this one, the 4th")});
    }

    void checkReadsConfigurationAndPlacement()
    {
        QTemporaryFile config;
        QVERIFY(config.open());
        DialogTree tree;
        addOutline(tree, "Root\n"
                         "  Config = " +
                             config.fileName().toLocal8Bit() +
                             "\n"
                             "Dialog1\n"
                             "  Type = Text\n"
                             "  Speaker = Entity\n"
                             "  Text = Hi\n"
                             "  Type = Text\n"
                             "    Text = nested under an action\n"
                             "Dialog2\n"
                             "  Choice = 1\n"
                             "    Dialog3\n"
                             "      Choice = 1\n"
                             "        Text = fine\n");
        QCOMPARE(
            lines(DialogCheck::check(tree)),
            QStringList({
                QStringLiteral("Dialog1: Type = Text: after its text a text dialog holds only "
                               "actions: Set, Call, Goto or Delete"),
                QStringLiteral(
                    "Dialog1: Text = nested under an action: nothing may stand under Type = Text"),
                QStringLiteral("Dialog3: an answer begins with its text, Text = ..."),
            }));

        DialogTree bare;
        bare.addRootNode();
        QCOMPARE(lines(DialogCheck::check(bare)),
                 QStringList({QStringLiteral("Root: the document names no configuration file")}));
    }

    // A long document, deep and wide, is checked in one pass: no quadratic lookups of dialogs
    // by number and no recursion on the depth.
    void checkScalesToLargeDeepTrees()
    {
        DialogTree tree;
        tree.addRootNode();
        DialogNode *parent = nullptr;
        // 2,000 nested choice dialogs, then a long row of text dialogs that go to each other.
        for (int i = 0; i < 2000; ++i) {
            DialogNode *dialog = tree.addChild(parent, NodeText::dialog(0));
            DialogNode *choice = tree.addChild(dialog, NodeText::choice("1"));
            tree.addChild(choice, NodeText::text("deeper"));
            parent = choice;
        }
        while (tree.count() < 100000) {
            DialogNode *dialog = tree.addChild(nullptr, NodeText::dialog(0));
            tree.addChild(dialog, NodeText::typeText());
            tree.addChild(dialog, NodeText::speaker("Player"));
            tree.addChild(dialog, NodeText::text("line"));
            tree.addChild(dialog, NodeText::gotoDialog(1 + tree.count() % 9999));
            tree.addChild(dialog, NodeText::deleteChoice(2, 1 + tree.count() % 2000));
        }
        tree.renumberDialogs();
        QElapsedTimer timer;
        timer.start();
        const std::vector<CheckFinding> findings = DialogCheck::check(tree);
        const qint64 elapsed = timer.elapsed();
        qInfo("checked %d nodes in %lld ms", tree.count(), elapsed);
        QVERIFY(elapsed < 5000);
        // The configuration, and every delete names a choice 2 that no dialog has.
        QVERIFY(findings.size() > 10000);
        QCOMPARE(findings.front().message,
                 QStringLiteral("the document names no configuration file"));
        QCOMPARE(findings[1].message,
                 QStringLiteral("stands at level 1001; a saved file holds at most 1000 levels"));
        const auto lastDelete =
            std::find_if(findings.rbegin(), findings.rend(), [](const CheckFinding &finding) {
                return finding.nodeText.startsWith("Delete");
            });
        QCOMPARE(lastDelete->message,
                 QStringLiteral("Dialog%1 has no choice 2").arg(1 + (tree.count() - 1) % 2000));
    }

    // Every dialog after Dialog2 hides itself and goes back to Dialog2: each round passes one
    // more deleted dialog, so the reading would grow with the square of the dialogs.
    void selfDeletingDialogsStopTheReadingInTime()
    {
        DialogTree tree;
        for (int n = 1; n <= 9999; ++n) {
            DialogNode *dialog = tree.addChild(nullptr, NodeText::dialog(n));
            tree.addChild(dialog, NodeText::typeText());
            if (n > 2) {
                tree.addChild(dialog, NodeText::deleteDialog(n));
                tree.addChild(dialog, NodeText::gotoDialog(2));
            }
        }
        ReadThrough reader(tree);
        QElapsedTimer timer;
        timer.start();
        reader.restart();
        QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(reader.state(), ReadThrough::State::Stopped);
        QCOMPARE(summary(reader).last(),
                 QStringLiteral("Stopped: the reading passed 10,000 dialogs"));
    }

    void readThroughFollowsChoicesGotosAndDeletions()
    {
        DialogTree tree;
        addOutline(tree, kStory);
        ReadThrough reader(tree);
        reader.restart();
        QCOMPARE(reader.state(), ReadThrough::State::Choosing);
        QCOMPARE(reader.answers().size(), size_t(2));
        reader.choose(0); // A friend: deletes itself, goes back to Dialog2
        QCOMPARE(reader.answers().size(), size_t(1));
        QCOMPARE(reader.answers()[0].text, QByteArray("Nobody"));
        reader.choose(0);
        QCOMPARE(reader.currentDialog()->text(), QByteArray("Dialog4"));
        reader.choose(0); // Run
        QCOMPARE(reader.state(), ReadThrough::State::Ended);
        QCOMPARE(
            summary(reader),
            QStringList({
                QStringLiteral("Dialog1 Entity: Halt!\\nWho goes there?"),
                QStringLiteral("  Set Short met = 1 -> met = 1"),
                QStringLiteral("Dialog2 choice"),
                QStringLiteral("  1. A friend"),
                QStringLiteral("  2. Nobody"),
                QStringLiteral("> 1"),
                QStringLiteral("Dialog3 Player: A friend."),
                QStringLiteral("  Delete = 1 from 2 -> choice 1 of Dialog2 removed (A friend)"),
                QStringLiteral("  Goto = 2 -> Dialog2"),
                QStringLiteral("Dialog2 choice"),
                QStringLiteral("  2. Nobody"),
                QStringLiteral("> 2"),
                QStringLiteral("Dialog4 choice"),
                QStringLiteral("  1. Run"),
                QStringLiteral("  2. Stay"),
                QStringLiteral("> 1"),
                QStringLiteral("Dialog5 Player: I run."),
                QStringLiteral("Dialog6 Entity: Farewell."),
                QStringLiteral("  Call = Close, 1 -> Close(1)"),
                QStringLiteral("End: the conversation has ended"),
            }));

        // An answer with nothing under it goes on past its choice dialog; Restart forgets what
        // was deleted.
        reader.restart();
        reader.choose(1);
        reader.choose(1); // Stay
        QCOMPARE(summary(reader).mid(9),
                 QStringList({QStringLiteral("> 2"), QStringLiteral("Dialog6 Entity: Farewell."),
                              QStringLiteral("  Call = Close, 1 -> Close(1)"),
                              QStringLiteral("End: the conversation has ended")}));
    }

    void readThroughStopsAtBrokenReferencesLoopsAndChanges()
    {
        DialogTree broken;
        addOutline(broken,
                   "Root\nDialog1\n  Type = Text\n  Speaker = Player\n  Text = Hi\n"
                   "  Goto = 9\nDialog2\n  Type = Text\n  Speaker = Player\n  Text = Never\n");
        ReadThrough reader(broken);
        reader.restart();
        QCOMPARE(reader.state(), ReadThrough::State::Stopped);
        QCOMPARE(summary(reader).last(),
                 QStringLiteral("Stopped: Dialog1: Goto = 9: names Dialog9, which does not exist"));

        // Two text dialogs that go to each other, with a deletion that changes nothing the
        // second time round.
        DialogTree loop;
        addOutline(loop, "Root\nDialog1\n  Type = Text\n  Speaker = Player\n  Text = Ping\n"
                         "  Goto = 2\nDialog2\n  Type = Text\n  Speaker = Entity\n  Text = Pong\n"
                         "  Delete = 3\n  Goto = 1\nDialog3\n  Type = Text\n  Speaker = Entity\n"
                         "  Text = Out\n");
        ReadThrough looping(loop);
        looping.restart();
        QCOMPARE(looping.state(), ReadThrough::State::Stopped);
        QVERIFY(summary(looping).last().contains(QStringLiteral("loop")));
        QVERIFY(looping.transcript().size() < 20);

        DialogTree story;
        addOutline(story, kStory);
        ReadThrough reading(story);
        reading.restart();
        reading.invalidate(QStringLiteral("changed"));
        QCOMPARE(reading.state(), ReadThrough::State::Stopped);
        QCOMPARE(reading.currentDialog(), nullptr);
        QVERIFY(reading.answers().empty());
        reading.choose(0); // nothing left to choose: no effect
        QCOMPARE(summary(reading).last(), QStringLiteral("Stopped: changed"));
    }
};

QTEST_APPLESS_MAIN(TestReview)
#include "test_review.moc"
