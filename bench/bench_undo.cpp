// Times what an author waits for on a large, fully expanded tree in a shown main window: each
// command and the tree view catching up with it, as the median of several runs. Covers
// selecting, adding at the end, undo and redo of that add, placing before Dialog1, deleting
// Dialog1 and a drop onto Dialog1. Run by hand: bench_undo [nodes] [repeats] [only], where only
// names the one step to time ("place", "delete", ...), for profiling.

#include "document/node_text.h"
#include "editing/adding_commands.h"
#include "editing/drop_command.h"
#include "editing/placement_window.h"
#include "shown_program.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

DialogNode *dialogNumber(DialogTree &tree, int number)
{
    const QByteArray name = NodeText::dialog(number);
    for (int i = 0; i < tree.count(); ++i) {
        if (tree.nodeAt(i)->text() == name)
            return tree.nodeAt(i);
    }
    return nullptr;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int nodes = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int repeats = argc > 2 ? std::atoi(argv[2]) : 9;
    const QByteArray only = argc > 3 ? QByteArray(argv[3]) : QByteArray();

    BenchPrompter prompter;
    ShownProgram program(prompter);
    TalmeroApp &talmero = program.talmero;
    MainWindow &form = talmero.mainWindow();
    PlacementWindow &placement = talmero.placementWindow();
    AddingCommands &adding = talmero.addingCommands();
    DialogTree &tree = form.document();
    while (tree.count() < nodes) {
        form.dialogTextEdit->setPlainText(QStringLiteral("Hello there"));
        adding.addDialog(nullptr);
    }
    QApplication::processEvents();
    std::printf("tree: %d nodes, %d dialogs, every node shown\n", tree.count(), tree.DialogCount());

    // step is timed with the view catching up; after, untimed, sets up the next run.
    auto run = [&](const char *what, const std::function<void()> &step,
                   const std::function<void()> &after = {}) {
        std::vector<double> times;
        std::vector<double> commands;
        const int runs = only.isEmpty() || QByteArray(what).contains(only) ? repeats : 1;
        for (int i = 0; i < runs; ++i) {
            QElapsedTimer timer;
            timer.start();
            step();
            commands.push_back(double(timer.nsecsElapsed()) / 1e6);
            QApplication::processEvents();
            times.push_back(double(timer.nsecsElapsed()) / 1e6);
            if (after) {
                after();
                QApplication::processEvents();
            }
        }
        std::sort(times.begin(), times.end());
        std::sort(commands.begin(), commands.end());
        std::printf("%-28s with view: median %7.2f ms (best %7.2f, worst %7.2f); command "
                    "alone: median %7.2f ms\n",
                    what, times[times.size() / 2], times.front(), times.back(),
                    commands[commands.size() / 2]);
    };

    int pick = 0;
    run("select a node", [&] { form.selectNode(tree.nodeAt((pick += 7919) % tree.count())); });
    form.addAtEndCheck->setChecked(true);
    run("add dialog at the end", [&] {
        form.dialogTextEdit->setPlainText(QStringLiteral("Hello"));
        adding.addOrPlaceDialog();
    });
    run(
        "undo add", [&] { form.undoAction->trigger(); }, [&] { form.redoAction->trigger(); });
    form.undoAction->trigger();
    run(
        "redo add", [&] { form.redoAction->trigger(); }, [&] { form.undoAction->trigger(); });
    run("place before Dialog1", [&] {
        form.PlaceMode = QStringLiteral("dialog");
        placement.fillChoiceList();
        placement.dialogNumberField->setMaximum(tree.DialogCount());
        placement.beforeDialogRadio->setChecked(true);
        placement.dialogNumberField->setValue(1);
        placement.confirmPlacement();
    });
    run("delete Dialog1", [&] {
        form.selectNode(dialogNumber(tree, 1));
        form.deleteSelectedButton->click();
    });
    auto *drops = form.findChild<DropCommand *>();
    run("drop Dialog5 onto Dialog1", [&] {
        form.selectNode(dialogNumber(tree, 5));
        drops->dropDialog(dialogNumber(tree, 1));
    });
    return 0;
}
