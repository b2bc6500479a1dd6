// Times the add commands on a large tree: appending a dialog, placing one into a choice near
// the top, and placing one before dialog number 1 through the placement window, each on a
// tree of about 100,000 nodes. Run by hand: bench_editing [nodes] [repeats].

#include "editing/adding_commands.h"
#include "editing/placement_window.h"
#include "platform/prompter.h"
#include "platform/shell_services.h"
#include "shown_program.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTreeWidget>
#include <cstdio>
#include <functional>

namespace {

double millis(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int nodes = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int repeats = argc > 2 ? std::atoi(argv[2]) : 5;

    BenchPrompter prompter;
    ShownProgram program(prompter);
    TalmeroApp &talmero = program.talmero;
    MainWindow &form = talmero.mainWindow();
    PlacementWindow &placement = talmero.placementWindow();
    AddingCommands &adding = talmero.addingCommands();

    // A choice dialog first, then text dialogs of four nodes each up to the size asked for.
    form.dialogTextEdit->setPlainText(QStringLiteral("Line one\nLine two"));
    adding.addDialog(nullptr);
    for (const char *answer : {"Yes", "No"}) {
        auto *row = new QTreeWidgetItem(form.answerTable);
        row->setText(0, QString::number(form.answerTable->topLevelItemCount()));
        row->setText(1, QLatin1String(answer));
    }
    adding.addChoice(nullptr);
    QElapsedTimer build;
    build.start();
    while (form.document().count() < nodes) {
        form.dialogTextEdit->setPlainText(QStringLiteral("Hello there"));
        adding.addDialog(nullptr);
    }
    std::printf("tree: %d nodes, %d dialogs, built by addDialog in %.0f ms (%.1f us per dialog)\n",
                form.document().count(), form.document().DialogCount(), millis(build),
                millis(build) * 1000.0 / form.document().DialogCount());

    // The command itself, then what the author waits for on top: the tree control catching up.
    auto run = [&](const char *what, const std::function<void()> &step) {
        double bestCommand = 1e300, bestTotal = 1e300, sumCommand = 0, sumTotal = 0;
        for (int i = 0; i < repeats; ++i) {
            QElapsedTimer timer;
            timer.start();
            step();
            const double command = millis(timer);
            QApplication::processEvents();
            const double total = millis(timer);
            bestCommand = std::min(bestCommand, command);
            bestTotal = std::min(bestTotal, total);
            sumCommand += command;
            sumTotal += total;
        }
        std::printf("%-46s command best %7.2f mean %7.2f ms | with view best %7.2f mean %7.2f "
                    "ms\n",
                    what, bestCommand, sumCommand / repeats, bestTotal, sumTotal / repeats);
    };

    run("add dialog at the end (addOrPlaceDialog)", [&] {
        form.dialogTextEdit->setPlainText(QStringLiteral("Hello"));
        adding.addOrPlaceDialog();
    });
    run("fillChoiceList", [&] { placement.fillChoiceList(); });
    run("place into choice 1 (confirmPlacement)", [&] {
        form.PlaceMode = QStringLiteral("dialog");
        placement.fillChoiceList();
        placement.intoChoiceRadio->setChecked(true);
        placement.choiceList->selectRow(0);
        placement.confirmPlacement();
    });
    run("place before dialog number 1 (confirmPlacement)", [&] {
        form.PlaceMode = QStringLiteral("dialog");
        placement.fillChoiceList();
        placement.dialogNumberField->setMaximum(form.document().DialogCount());
        placement.beforeDialogRadio->setChecked(true);
        placement.dialogNumberField->setValue(1);
        placement.confirmPlacement();
    });
    run("place choice dialog before dialog number 1", [&] {
        form.PlaceMode = QStringLiteral("choice");
        placement.fillChoiceList();
        placement.beforeDialogRadio->setChecked(true);
        placement.dialogNumberField->setValue(1);
        placement.confirmPlacement();
    });
    return 0;
}
