#include "document/dialog_edits.h"
#include "document/dialog_tree.h"
#include "document/node_text.h"
#include "document/read_through.h"
#include "document/reading_lines.h"
#include "document/reading_reach.h"
#include "document/tree_journal.h"
#include "platform/app_error.h"
#include "readings/reading_replay.h"
#include "readings/saved_readings.h"
#include "test_documents.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

namespace {

// Every action: Dialog1 sets and calls; choice 1 of Dialog2 removes itself and goes back;
// choice 2 removes Dialog5, so the reading passes over it to Dialog6; choice 3 holds nothing.
const QByteArray kStory = "Root\n"
                          "Dialog1\n"
                          "  Type = Text\n"
                          "  Speaker = Entity\n"
                          "  Text = Halt!\n"
                          "  Set Short gold = 5\n"
                          "  Call = Greet, guard, 2\n"
                          "Dialog2\n"
                          "  Choice = 1\n"
                          "    Text = A friend\n"
                          "    Dialog3\n"
                          "      Type = Text\n"
                          "      Speaker = Player\n"
                          "      Text = A friend.\n"
                          "      Set String name = Tom = Jerry\n"
                          "      Delete = 1 from 2\n"
                          "      Goto = 2\n"
                          "  Choice = 2\n"
                          "    Text = Gold\n"
                          "    Dialog4\n"
                          "      Type = Text\n"
                          "      Speaker = Player\n"
                          "      Text = Take it.\n"
                          "      Set Short gold = 0\n"
                          "      Delete = 5\n"
                          "  Choice = 3\n"
                          "    Text = Leave\n"
                          "Dialog5\n"
                          "  Type = Text\n"
                          "  Speaker = Entity\n"
                          "  Text = You may not pass.\n"
                          "Dialog6\n"
                          "  Type = Text\n"
                          "  Speaker = Entity\n"
                          "  Text = Farewell.\n"
                          "  Call = Close\n";

SavedReading play(const DialogTree &tree, const ReadingStart &start,
                  const QList<QByteArray> &answers)
{
    ReadThrough reader(tree);
    ReadingReplay(tree).play(reader, start, answers);
    return {QStringLiteral("Friend, then gold"), start, answers, ReadingLines::lines(reader).text};
}

DialogNode *dialog(const DialogTree &tree, int number)
{
    return const_cast<DialogNode *>(DialogNumbers(tree).find(number));
}

QStringList lines(const std::vector<CheckFinding> &findings)
{
    QStringList result;
    for (const CheckFinding &finding : findings)
        result << finding.line();
    return result;
}

using Edit = std::function<void(DialogTree &)>;

} // namespace

class TestReadings : public QObject
{
    Q_OBJECT

private slots:
    void stateAfterAReading()
    {
        DialogTree tree;
        addOutline(tree, kStory);
        ReadThrough reader(tree);
        reader.restart();
        QVERIFY(reader.chooseNumber("1"));
        QVERIFY(reader.chooseNumber("2"));
        QCOMPARE(reader.state(), ReadThrough::State::Ended);
        QCOMPARE(reader.game().lines(), QStringList({
                                            QStringLiteral("Set Short gold = 0"),
                                            QStringLiteral("Set String name = Tom = Jerry"),
                                            QStringLiteral("Call = Greet, guard, 2"),
                                            QStringLiteral("Call = Close"),
                                            QStringLiteral("Removed choice 1 of Dialog2"),
                                            QStringLiteral("Removed Dialog5"),
                                        }));
        QCOMPARE(reader.game().variables()[0].setBy, dialog(tree, 4));
        QCOMPARE(reader.game().variables()[1].value, QByteArray("Tom = Jerry"));
        QCOMPARE(reader.game().calls()[0].shown(), QByteArray("Greet(guard, 2)"));
        QCOMPARE(reader.game().reachCount(dialog(tree, 2)), 2);
        QCOMPARE(reader.game().reachCount(dialog(tree, 5)), 0);
        QCOMPARE(
            ReadingLines::lines(reader).text.mid(11, 6),
            QStringList({QStringLiteral("  Goto = 2 -> Dialog2"), QStringLiteral("Dialog2 choice"),
                         QStringLiteral("  2. Gold"), QStringLiteral("  3. Leave"),
                         QStringLiteral("> 2"), QStringLiteral("Dialog4 Player: Take it.")}));

        // From Dialog2 with a start state: answer 2 and Dialog6 removed before the start.
        ReadingStart start;
        start.from = DialogRef::of(dialog(tree, 2));
        QCOMPARE(
            start.takeLines(QStringLiteral("Short gold = 9\nDelete = 2 from 2\nDelete = 6"), tree),
            QString());
        ReadingReplay(tree).play(reader, start, {"3"});
        QCOMPARE(ReadingLines::lines(reader).text,
                 QStringList({QStringLiteral("Dialog2 choice"), QStringLiteral("  1. A friend"),
                              QStringLiteral("  3. Leave"), QStringLiteral("> 3"),
                              QStringLiteral("Dialog5 Entity: You may not pass."),
                              QStringLiteral("End: the conversation has ended")}));
        QCOMPARE(reader.game().variables()[0].setBy, nullptr);

        // A start state the Set action or the tree would refuse changes nothing.
        const QStringList refused = {QStringLiteral("Set Short gold = 1.5"),
                                     QStringLiteral("Delete = 3 from 1"),
                                     QStringLiteral("Delete = 9"), QStringLiteral("gold")};
        const QStringList reasons = {
            VariableOperation::wrongTypeText(),
            QStringLiteral("Delete = 3 from 1: Dialog1 has no choice 3"),
            QStringLiteral("Delete = 9: Dialog9 does not exist"),
            QStringLiteral("gold: a variable reads Set Short name = value (Short, Float or "
                           "String), a removed dialog Delete = N")};
        for (qsizetype i = 0; i < refused.size(); ++i) {
            QCOMPARE(start.takeLines(refused[i], tree), reasons[i]);
            QCOMPARE(start.variables.size(), size_t(1));
        }
    }

    void savedReadingReplays_data()
    {
        QTest::addColumn<Edit>("edit");
        QTest::addColumn<QString>("difference");
        QTest::newRow("unchanged") << Edit([](DialogTree &) {}) << QString();
        // A dialog placed under the answer no reading takes: Dialog5 and Dialog6 move on by
        // one, and the actions follow them.
        QTest::newRow("renumbered") << Edit([](DialogTree &tree) {
            TreeJournal journal(tree);
            tree.setJournal(&journal);
            addTextDialog(tree, dialog(tree, 2)->child(2)->child(0), "Placed", "Entity");
            journal.followRenumbering();
            tree.setJournal(nullptr);
            QCOMPARE(dialog(tree, 7)->child(2)->text(), QByteArray("Text = Farewell."));
        }) << QString();
        QTest::newRow("text changed") << Edit([](DialogTree &tree) {
            tree.setText(dialog(tree, 6)->child(2), "Text = Goodbye.");
        }) << QStringLiteral("\"Dialog6 Entity: Farewell.\" is now \"Dialog6 Entity: Goodbye.\"");
        QTest::newRow("answer gone")
            << Edit([](DialogTree &tree) { tree.remove(dialog(tree, 2)->child(1)); })
            << QStringLiteral("\"2. Gold\" is gone");
        QTest::newRow("new dialog on the way") << Edit([](DialogTree &tree) {
            tree.moveBefore(addTextDialog(tree, nullptr, "Wait.", "Entity"), dialog(tree, 6));
            tree.renumberDialogs();
        }) << QStringLiteral("\"Dialog6 Entity: Wait.\" is new");
    }

    // A reading from Dialog3 and one from the start, saved, the tree edited, replayed; a
    // difference accepted agrees from then on, also after the file's round trip.
    void savedReadingReplays()
    {
        QFETCH(Edit, edit);
        QFETCH(QString, difference);
        DialogTree tree;
        addOutline(tree, kStory);
        ReadingStart fromFive;
        fromFive.from = DialogRef::of(dialog(tree, 5));
        QCOMPARE(fromFive.takeLines(QStringLiteral("Set Float speed = 1.5\nDelete = 6"), tree),
                 QString());
        SavedReading first = play(tree, ReadingStart(), {"1", "2"});
        SavedReading second = play(tree, fromFive, {});
        second.name = QStringLiteral("From Dialog5");

        edit(tree);
        const ReadingReplay replay(tree);
        const ReadingReplay::Result result = replay.replay(first);
        QCOMPARE(result.diff.agrees(), difference.isEmpty());
        QCOMPARE(result.diff.firstDifferenceText(), difference);
        // It starts at what Dialog5 showed and removes what Dialog6 showed, wherever they went.
        if (QTest::currentDataTag() == QByteArray("renumbered"))
            QVERIFY(replay.replay(second).diff.agrees());
        if (!difference.isEmpty()) {
            first.transcript = result.lines.text;
            QVERIFY(replay.replay(first).diff.agrees());
        }

        QTemporaryDir folder;
        const QString file = folder.filePath(QStringLiteral("Castle.dlg"));
        SavedReadings readings = SavedReadings::load(file);
        readings.put(second);
        readings.put(first);
        readings.save();
        const SavedReadings again = SavedReadings::load(file);
        QCOMPARE(again.path(), folder.filePath(QStringLiteral("Castle.readings.txt")));
        QCOMPARE(again.all().size(), size_t(2));
        QCOMPARE(again.all()[0].transcript, first.transcript);
        QCOMPARE(again.all()[1].name, QStringLiteral("From Dialog5"));
        QCOMPARE(again.all()[1].start, second.start);
        QCOMPARE(again.text(), readings.text());
    }

    void readingsFileRefusesWhatItCannotTake()
    {
        const QByteArray good = "[A]\nanswers = 1\n| End: the conversation has ended\n";
        QCOMPARE(SavedReadings::parse(good, QStringLiteral("f")).all().size(), size_t(1));
        for (const QByteArray &bad :
             {QByteArray("[A]\nwho = me\n"), QByteArray("[A]\n[A]\n"), QByteArray("| line\n"),
              QByteArray("[A]\nset = Short gold = x\n"), QByteArray("[A]\nfrom = Dialogue\n")}) {
            try {
                SavedReadings::parse(bad, QStringLiteral("f"));
                QFAIL(bad.constData());
            } catch (const AppError &e) {
                QVERIFY2(e.text().startsWith(QStringLiteral("f:")), qPrintable(e.text()));
            }
        }
        // A folder where the file would go is left as it is.
        QTemporaryDir folder;
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("Story.readings.txt")));
        SavedReadings readings =
            SavedReadings::parse(good, folder.filePath(QStringLiteral("Story.readings.txt")));
        QVERIFY_THROWS_EXCEPTION(AppError, readings.save());
        QVERIFY_THROWS_EXCEPTION(AppError,
                                 SavedReadings::load(folder.filePath(QStringLiteral("Story.dlg"))));
    }

    void transcriptDiff()
    {
        const QStringList saved = {
            QStringLiteral("Dialog1 Entity: Hi."), QStringLiteral("  Goto = 3 -> Dialog3"),
            QStringLiteral("Dialog3 Player: Yes."), QStringLiteral("Dialog4 Player: No."),
            QStringLiteral("End: the conversation has ended")};
        // Renumbered: Dialog3 is Dialog4 now, Dialog4 Dialog5; and a text changed.
        QStringList now = saved;
        now[1] = QStringLiteral("  Goto = 4 -> Dialog4");
        now[2] = QStringLiteral("Dialog4 Player: Yes.");
        now[3] = QStringLiteral("Dialog5 Player: No!");
        const TranscriptDiff diff(saved, now);
        QCOMPARE(diff.unified(QStringLiteral("R")),
                 QStringLiteral("--- R (saved)\n+++ R (now)\n@@ -1,5 +1,5 @@\n"
                                " Dialog1 Entity: Hi.\n"
                                "   Goto = 4 -> Dialog4\n"
                                " Dialog4 Player: Yes.\n"
                                "-Dialog4 Player: No.\n"
                                "+Dialog5 Player: No!\n"
                                " End: the conversation has ended\n"));
        now[3] = QStringLiteral("Dialog5 Player: No.");
        QVERIFY(TranscriptDiff(saved, now).agrees());
        // Lines only on one side, far apart: two hunks.
        QStringList longer;
        for (int i = 0; i < 20; ++i)
            longer << QStringLiteral("Dialog%1 Entity: %1").arg(i + 1);
        QStringList edited = longer;
        edited.removeAt(2);
        edited.insert(15, QStringLiteral("Dialog99 Entity: new"));
        const QString text = TranscriptDiff(longer, edited).unified(QStringLiteral("L"));
        QVERIFY2(text.contains(QStringLiteral("@@ -1,6 +1,5 @@\n Dialog1 Entity: 1\n Dialog2 "
                                              "Entity: 2\n-Dialog3 Entity: 3\n")),
                 qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("+Dialog99 Entity: new\n")), qPrintable(text));
        QCOMPARE(text.count(QStringLiteral("@@ -")), 2);
    }

    // A goto jumps over Dialog2; both ways to Dialog6 remove its second answer; Dialog6's
    // other answers remove themselves and come back; Dialog9 and the dialogs under it only
    // lead to each other.
    void reachabilityFindings()
    {
        DialogTree tree;
        addOutline(tree, "Root\n"
                         "Dialog1\n  Type = Text\n  Speaker = Entity\n  Text = Start.\n"
                         "  Goto = 3\n"
                         "Dialog2\n  Type = Text\n  Speaker = Entity\n  Text = Jumped over.\n"
                         "Dialog3\n"
                         "  Choice = 1\n    Text = Left\n"
                         "    Dialog4\n      Type = Text\n      Speaker = Player\n"
                         "      Text = Left.\n      Delete = 2 from 6\n"
                         "  Choice = 2\n    Text = Right\n"
                         "    Dialog5\n      Type = Text\n      Speaker = Player\n"
                         "      Text = Right.\n      Delete = 2 from 6\n"
                         "Dialog6\n"
                         "  Choice = 1\n    Text = King\n"
                         "    Dialog7\n      Type = Text\n      Speaker = Entity\n"
                         "      Text = Old.\n      Delete = 1 from 6\n      Goto = 6\n"
                         "  Choice = 2\n    Text = Never\n"
                         "  Choice = 3\n    Text = Road\n"
                         "    Dialog8\n      Type = Text\n      Speaker = Entity\n"
                         "      Text = Long.\n      Delete = 3 from 6\n      Goto = 6\n"
                         "Dialog9\n"
                         "  Choice = 1\n    Text = Again\n"
                         "    Dialog10\n      Type = Text\n      Speaker = Player\n"
                         "      Text = Again.\n      Goto = 9\n"
                         "  Choice = 2\n    Text = And again\n"
                         "    Dialog11\n      Type = Text\n      Speaker = Player\n"
                         "      Text = And again.\n      Goto = 9\n");
        QCOMPARE(
            lines(ReadingReach::check(tree)),
            QStringList({
                QStringLiteral("Dialog2: no reading from Dialog1 reaches this dialog, whatever "
                               "the answers; lead to it with a goto or an answer, or remove it"),
                QStringLiteral("Dialog6: a reading can reach this choice with all its answers "
                               "removed, and then it offers nothing; keep one answer that no "
                               "delete action removes, or lead on before the last one goes"),
                QStringLiteral("Dialog6: Choice = 2: every way to Dialog6 removes this answer "
                               "before it is offered (Delete = 2 from 6), so it is never "
                               "offered; move that delete action after the choice, or remove "
                               "the answer"),
                QStringLiteral("Dialog9: a reading can enter the loop Dialog9, Dialog10, "
                               "Dialog11 here and never leave it: no answer on it leads out; "
                               "give one of its answers a way on, or a goto out of it"),
            }));
        // Dialog2 reached by a goto of its own, and Dialog11 ending the conversation: those
        // findings go.
        tree.addChild(dialog(tree, 4), "Goto = 2");
        tree.remove(dialog(tree, 11)->child(3));
        QCOMPARE(ReadingReach::check(tree).size(), size_t(2));
    }

    // On random conversations, no finding denies what a reading actually does: a dialog it
    // reaches, an answer it is offered, a way out of a loop it takes.
    void reachabilityFindingsHoldForRandomReadings()
    {
        QRandomGenerator random(35);
        for (int round = 0; round < 200; ++round) {
            DialogTree tree;
            tree.addRootNode();
            std::vector<DialogNode *> places{nullptr};
            std::vector<DialogNode *> texts;
            std::vector<DialogNode *> choices;
            for (int i = 0, n = 3 + int(random.bounded(15)); i < n; ++i) {
                DialogNode *at = places[random.bounded(quint32(places.size()))];
                DialogNode *made = tree.addChild(at, NodeText::dialog(0));
                if (random.bounded(3) == 0) {
                    for (int a = 0, answers = 1 + int(random.bounded(3)); a < answers; ++a) {
                        DialogNode *answer =
                            tree.addChild(made, NodeText::choice(QByteArray::number(a + 1)));
                        tree.addChild(answer, NodeText::text("answer"));
                        places.push_back(answer);
                    }
                    choices.push_back(made);
                } else {
                    tree.addChild(made, NodeText::typeText());
                    tree.addChild(made, NodeText::speaker("Entity"));
                    tree.addChild(made, NodeText::text("line"));
                    texts.push_back(made);
                }
            }
            tree.renumberDialogs();
            const int count = tree.DialogCount();
            for (DialogNode *text : texts) {
                const int roll = int(random.bounded(6));
                const int target = 1 + int(random.bounded(quint32(count)));
                if (roll == 0)
                    tree.addChild(text, NodeText::gotoDialog(target));
                else if (roll == 1)
                    tree.addChild(text, NodeText::deleteDialog(target));
                else if (roll == 2 && !choices.empty())
                    tree.addChild(text, NodeText::deleteChoice(
                                            1 + int(random.bounded(2)),
                                            DialogNumbers::numberOf(
                                                choices[random.bounded(quint32(choices.size()))])));
            }
            QHash<const DialogNode *, QString> denied;
            for (const CheckFinding &finding : ReadingReach::check(tree))
                denied[finding.node] += finding.message + u'|';
            const auto denies = [&denied](const DialogNode *node, const char *what) {
                return denied.value(node).startsWith(QLatin1String(what)) ||
                       denied.value(node).contains(u'|' + QLatin1String(what));
            };
            for (int reading = 0; reading < 10; ++reading) {
                ReadThrough reader(tree);
                reader.restart();
                for (int step = 0; step < 20 && reader.state() == ReadThrough::State::Choosing;
                     ++step) {
                    for (const ReadThrough::Answer &answer : reader.answers())
                        QVERIFY(!denies(answer.choice, "every way"));
                    reader.choose(int(random.bounded(quint32(reader.answers().size()))));
                }
                for (const GameState::Reach &reach : reader.game().reached()) {
                    QVERIFY(!denies(reach.dialog, "no reading"));
                    if (reader.state() == ReadThrough::State::Ended)
                        QVERIFY(!denies(reach.dialog, "a reading can enter"));
                }
            }
        }
    }
};

QTEST_APPLESS_MAIN(TestReadings)
#include "test_readings.moc"
