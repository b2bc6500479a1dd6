// Times the check window keeping pace with the editor on a large document with a finding on
// every dialog: after an edit, the check again and the list's refill with its redraw, as the
// median of several runs. Run by hand: bench_check_window [nodes] [repeats].

#include "document/dialog_check.h"
#include "document/dialog_edits.h"
#include "document/node_text.h"
#include "review/check_window.h"
#include "review/review_commands.h"
#include "shown_program.h"
#include "windows/undo_history.h"

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

// Text dialogs of four nodes each whose speaker is no speaker: one finding per dialog.
void makeDocument(DialogTree &tree, int nodes)
{
    DialogEdits edits(tree);
    while (tree.count() < nodes) {
        DialogNode *dialog = edits.addTextDialog(nullptr, "What brings you to the castle?",
                                                 DialogEdits::Speaker::Entity);
        tree.setText(dialog->child(1), NodeText::speaker("Narrator"));
    }
}

double median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int nodes = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int repeats = argc > 2 ? std::atoi(argv[2]) : 15;

    BenchPrompter prompter;
    ShownProgram program(prompter);
    MainWindow &form = program.talmero.mainWindow();
    DialogTree &tree = form.document();
    makeDocument(tree, nodes);
    CheckWindow *window = form.findChild<ReviewCommands *>()->checkWindow();
    window->resize(900, 600);
    window->show();
    QApplication::processEvents();
    const size_t findings = DialogCheck::check(tree).size();
    std::printf("tree: %d nodes, %d dialogs, %zu findings\n", tree.count(), tree.DialogCount(),
                findings);

    // Each edit in the middle of the document, as Update selected and a rename in place make
    // them: a new text keeps the number of findings, a speaker put right (or wrong again)
    // changes it.
    DialogNode *dialog = tree.nodeAt(tree.count() / 2);
    while (dialog->parent())
        dialog = dialog->parent();
    const auto time = [&](const char *what, const std::function<void(int)> &edit) {
        std::vector<double> checks;
        std::vector<double> refills;
        std::vector<double> shown;
        for (int i = 0; i < repeats; ++i) {
            {
                EditStep step(form.history(), QStringLiteral("Edit"));
                edit(i);
            }
            QApplication::processEvents();
            QElapsedTimer timer;
            timer.start();
            const std::vector<CheckFinding> again = DialogCheck::check(tree);
            checks.push_back(double(timer.nsecsElapsed()) / 1e6);
            timer.restart();
            window->refresh();
            refills.push_back(double(timer.nsecsElapsed()) / 1e6);
            QApplication::processEvents();
            shown.push_back(double(timer.nsecsElapsed()) / 1e6);
        }
        std::printf("%s\n  check alone %.2f ms; re-check and refill %.2f ms; with the redraw "
                    "%.2f ms (medians)\n",
                    what, median(checks), median(refills), median(shown));
    };
    time("a text updated, findings as many as before", [&](int i) {
        DialogEdits(tree).updateText(dialog->child(2), "Text = Edit " + QByteArray::number(i));
    });
    time("a speaker put right or wrong, one finding more or less", [&](int i) {
        DialogEdits(tree).rename(dialog->child(1),
                                 NodeText::speaker(i % 2 ? "Narrator" : "Player"));
    });
    return 0;
}
