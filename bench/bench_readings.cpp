// Times readings on a large conversation: one reading of 10,000 steps, the check's findings of
// what no reading reaches, and replaying 100 saved readings (unchanged, after a renumbering,
// and after a text change on every reading's way), with the longest single replay, which is
// the longest the windows wait while readings replay after an edit.
// Last, the readings replay after an edit as the windows have them replayed, while a timer
// ticks every millisecond: the longest wait between two ticks is how long the windows wait.
// Run by hand: bench_readings [dialogs] [steps per saved reading]

#include "document/dialog_check.h"
#include "document/dialog_numbers.h"
#include "document/dialog_tree.h"
#include "document/node_text.h"
#include "document/read_through.h"
#include "document/reading_lines.h"
#include "document/reading_reach.h"
#include "readings/reading_replay.h"
#include "readings/saved_readings.h"
#include "review/readings_replayer.h"
#include "windows/dialog_tree_model.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <utility>
#include <vector>

namespace {

// Each block: four text dialogs, the second going to the fourth; a choice whose first answer
// holds a dialog that sets, calls and removes the choice's third answer, whose second holds a
// dialog going back to the block's third, and whose third holds nothing.
struct Conversation
{
    DialogTree tree;
    std::vector<DialogNode *> blockStarts;
    std::vector<DialogNode *> texts;
    // Actions naming dialogs: the action, its target, and for a delete the choice number.
    std::vector<std::pair<DialogNode *, std::pair<DialogNode *, int>>> references;

    DialogNode *addText(DialogNode *parent, const QByteArray &text)
    {
        DialogNode *dialog = tree.addChild(parent, NodeText::dialog(0));
        tree.addChild(dialog, NodeText::typeText());
        tree.addChild(dialog, NodeText::speaker("Entity"));
        tree.addChild(dialog, NodeText::text(text));
        texts.push_back(dialog);
        return dialog;
    }
    void refer(DialogNode *dialog, DialogNode *target, int choice = 0)
    {
        references.push_back({tree.addChild(dialog, QByteArray("Goto = 0")), {target, choice}});
    }
    // The numbers inside actions follow their dialogs, as the editor's edits keep them.
    void writeReferences()
    {
        tree.renumberDialogs();
        for (const auto &[action, target] : references) {
            const int number = DialogNumbers::numberOf(target.first);
            tree.setText(action, target.second ? NodeText::deleteChoice(target.second, number)
                                               : NodeText::gotoDialog(number));
        }
    }
    // An action names dialogs up to 9999 only: beyond (with room for a few more dialogs
    // before), the dialog calls a function instead.
    void dropFarReferences()
    {
        tree.renumberDialogs();
        std::erase_if(references, [this](const auto &reference) {
            if (DialogNumbers::numberOf(reference.second.first) <= 9990)
                return false;
            tree.setText(reference.first, NodeText::call("Far"));
            return true;
        });
    }

    explicit Conversation(int dialogs)
    {
        tree.addRootNode();
        for (int block = 0; tree.DialogCount() + 7 <= dialogs; ++block) {
            const QByteArray name = QByteArray::number(block);
            DialogNode *first = addText(nullptr, "Block " + name + " opens.");
            DialogNode *second = addText(nullptr, "Block " + name + " jumps.");
            DialogNode *third = addText(nullptr, "Block " + name + " is jumped over.");
            DialogNode *fourth = addText(nullptr, "Block " + name + " asks.");
            refer(second, fourth);
            DialogNode *choice = tree.addChild(nullptr, NodeText::dialog(0));
            DialogNode *answers[3];
            for (int a = 0; a < 3; ++a) {
                answers[a] = tree.addChild(choice, NodeText::choice(QByteArray::number(a + 1)));
                tree.addChild(answers[a], NodeText::text("Answer " + QByteArray::number(a + 1)));
            }
            DialogNode *yes = addText(answers[0], "Yes, block " + name + ".");
            tree.addChild(yes, NodeText::setVariable("Short", "block", name));
            tree.addChild(yes, NodeText::call("Mark, " + name));
            refer(yes, choice, 3);
            DialogNode *back = addText(answers[1], "Back in block " + name + ".");
            refer(back, third);
            blockStarts.push_back(first);
            tree.renumberDialogs();
        }
        dropFarReferences();
        writeReferences();
    }
};

// The processor time of this process: the machine may be busy with other work, which the
// time on the clock would count too.
class CpuTimer
{
public:
    CpuTimer() { restart(); }
    void restart() { m_start = now(); }
    double ms() const { return (now() - m_start) / 1e6; }

private:
    static double now()
    {
        timespec time{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &time);
        return double(time.tv_sec) * 1e9 + double(time.tv_nsec);
    }
    double m_start = 0;
};

double ms(const CpuTimer &timer)
{
    return timer.ms();
}

struct Batch
{
    double total = 0;
    double longest = 0;
    int differing = 0;
    qint64 lines = 0;
};

Batch replayAll(const DialogTree &tree, const std::vector<SavedReading> &readings)
{
    Batch batch;
    CpuTimer all;
    const ReadingReplay replay(tree);
    for (const SavedReading &reading : readings) {
        CpuTimer one;
        const ReadingReplay::Result result = replay.replay(reading);
        batch.longest = std::max(batch.longest, ms(one));
        batch.differing += result.diff.agrees() ? 0 : 1;
        batch.lines += result.lines.text.size();
    }
    batch.total = ms(all);
    return batch;
}

void report(const char *what, const Batch &batch, size_t count)
{
    std::printf("%-44s %8.1f ms  (longest one %6.1f ms, %d of %zu differ, %lld lines)\n", what,
                batch.total, batch.longest, batch.differing, count, batch.lines);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int dialogs = argc > 1 ? std::atoi(argv[1]) : 25000;
    const int savedSteps = argc > 2 ? std::atoi(argv[2]) : 10000;
    Conversation story(dialogs);
    std::printf("%d dialogs, %d nodes\n", story.tree.DialogCount(), story.tree.count());

    // One reading from Dialog1, always the first answer: five dialogs a block.
    QList<QByteArray> answers;
    for (int i = 0; i < 1999; ++i)
        answers.append("1");
    CpuTimer timer;
    ReadThrough reader(story.tree);
    ReadingReplay(story.tree).play(reader, ReadingStart(), answers);
    const ReadingLines::Lines lines = ReadingLines::lines(reader);
    std::printf("%-44s %8.1f ms  (%zu transcript entries, %lld lines, %d dialogs reached)\n",
                "one reading of 10,000 steps, with its lines", ms(timer),
                reader.transcript().size(), qint64(lines.text.size()),
                int(reader.game().reached().size()));

    timer.restart();
    const std::vector<CheckFinding> unreached = ReadingReach::check(story.tree);
    std::printf("%-44s %8.1f ms  (%zu findings)\n", "what no reading reaches", ms(timer),
                unreached.size());
    timer.restart();
    const std::vector<CheckFinding> all = DialogCheck::check(story.tree);
    std::printf("%-44s %8.1f ms  (%zu findings)\n", "the whole check", ms(timer), all.size());

    // 100 readings from blocks spread over the conversation, answers 1 and 2 in turn, each
    // as long as asked; their transcripts taken as saved.
    std::vector<SavedReading> readings;
    const int blocks = int(story.blockStarts.size());
    for (int r = 0; r < 100; ++r) {
        SavedReading reading;
        reading.name = QStringLiteral("Reading %1").arg(r);
        reading.start.from = DialogRef::of(story.blockStarts[size_t(r * blocks / 100)]);
        for (int a = 0; a * 5 < savedSteps; ++a)
            reading.answers.append(a % 3 == 1 ? "2" : "1");
        readings.push_back(reading);
    }
    {
        const ReadingReplay replay(story.tree);
        for (SavedReading &reading : readings)
            reading.transcript = replay.replay(reading).lines.text;
    }
    report("100 saved readings, unchanged", replayAll(story.tree, readings), readings.size());

    // A dialog placed before Dialog1: every dialog's number goes up by one.
    DialogNode *placed = story.addText(nullptr, "A new beginning.");
    story.tree.moveBefore(placed, story.blockStarts.front());
    story.writeReferences();
    report("100 saved readings, after a renumbering", replayAll(story.tree, readings),
           readings.size());

    // Every "Yes" dialog says something else now.
    for (DialogNode *text : story.texts) {
        DialogNode *line = text->child(2);
        if (line->text().startsWith("Text = Yes"))
            story.tree.setText(line, line->text() + " Indeed.");
    }
    report("100 saved readings, after text changes", replayAll(story.tree, readings),
           readings.size());

    QTemporaryDir folder;
    const QString dialogFile = folder.filePath(QStringLiteral("Story.dlg"));
    SavedReadings kept = SavedReadings::load(dialogFile);
    for (const SavedReading &reading : readings)
        kept.put(reading);
    kept.save();
    DialogTreeModel model(story.tree);
    ReadingsReplayer replayer(story.tree, &model, [&dialogFile] { return dialogFile; });
    replayer.setWatching(&app, true);
    replayer.reload();
    QElapsedTimer wall;
    qint64 lastTick = 0;
    qint64 longestWait = 0;
    QTimer ticks;
    ticks.setInterval(1);
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        longestWait = std::max(longestWait, wall.elapsed() - lastTick);
        lastTick = wall.elapsed();
        if (!replayer.busy())
            app.quit();
    });
    story.tree.setText(story.texts.front()->child(2), "Text = The very first line, changed.");
    wall.start();
    ticks.start();
    app.exec();
    std::printf("%-44s %8lld ms  (on the clock; the longest wait between ticks %lld ms)\n",
                "replaying after an edit, in the event loop", wall.elapsed(), longestWait);
    return 0;
}
