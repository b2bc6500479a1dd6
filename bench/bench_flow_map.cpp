// Times the flow map on a large conversation in a shown program: opening the map window, and
// the map following an edit (adding a dialog at the end, its undo) with its redraw, as the
// median of several runs. Also reports the memory the map holds next to the document's.
// Run by hand: bench_flow_map [dialogs] [repeats] [save-to.dlg]; the file, when named, is the
// conversation for talmero-cli map and for trying the window by hand.

#include "bench_measure.h"
#include "document/dialog_numbers.h"
#include "document/node_text.h"
#include "editing/adding_commands.h"
#include "flowmap/flow_map_view.h"
#include "flowmap/flow_map_window.h"
#include "persistence/dlg_file.h"
#include "review/review_commands.h"
#include "shown_program.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

DialogNode *addText(DialogTree &tree, DialogNode *parent, int line, const char *speaker)
{
    DialogNode *dialog = parent ? tree.addChild(parent, NodeText::dialog(0))
                                : tree.addSibling(nullptr, NodeText::dialog(0));
    tree.setImageIndex(dialog, 1);
    tree.addChild(dialog, NodeText::typeText());
    tree.addChild(dialog, NodeText::speaker(speaker));
    tree.addChild(dialog, NodeText::text("Line " + QByteArray::number(line) +
                                         ": the guard looks at you and says something long"));
    return dialog;
}

// Blocks of six text dialogs and a choice of three answers: two dialogs under the first, one
// with a goto back to the block's start under the second, none under the third.
void makeConversation(DialogTree &tree, int dialogs)
{
    tree.addRootNode();
    int line = 0;
    while (tree.DialogCount() < dialogs) {
        const DialogNode *start = addText(tree, nullptr, ++line, "Entity");
        const int startNumber = DialogNumbers::numberOf(start);
        for (int i = 0; i < 5; ++i)
            addText(tree, nullptr, ++line, i % 2 ? "Player" : "Entity");
        DialogNode *choice = tree.addSibling(nullptr, NodeText::dialog(0));
        tree.setImageIndex(choice, 2);
        DialogNode *answers[3];
        for (int a = 0; a < 3; ++a) {
            answers[a] = tree.addChild(choice, NodeText::choice(QByteArray::number(a + 1)));
            tree.addChild(answers[a], NodeText::text("Answer " + QByteArray::number(a + 1)));
        }
        addText(tree, answers[0], ++line, "Entity");
        addText(tree, answers[0], ++line, "Player");
        DialogNode *back = addText(tree, answers[1], ++line, "Entity");
        tree.addChild(back, NodeText::gotoDialog(startNumber));
        tree.renumberDialogs();
    }
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int dialogs = argc > 1 ? std::atoi(argv[1]) : 25000;
    const int repeats = argc > 2 ? std::atoi(argv[2]) : 9;

    BenchPrompter prompter;
    ShownProgram program(prompter);
    MainWindow &window = program.talmero.mainWindow();
    DialogTree &tree = window.document();
    {
        const qint64 before = heapInUse();
        DialogTree made;
        makeConversation(made, dialogs);
        const qint64 document = heapInUse() - before;
        tree.swapContents(made);
        std::printf("document: %d nodes, %d dialogs, %.1f MB on the heap\n", tree.count(),
                    tree.DialogCount(), double(document) / 1e6);
    }
    if (argc > 3)
        DlgFile::save(tree, QString::fromLocal8Bit(argv[3]), {});
    QApplication::processEvents();

    auto *review = window.findChild<ReviewCommands *>();
    QElapsedTimer timer;
    const qint64 before = heapInUse();
    timer.start();
    review->flowMapAction->trigger();
    FlowMapWindow *map = review->flowMapWindow();
    map->view()->viewport()->repaint();
    QApplication::processEvents();
    std::printf("open the map window: %.1f ms\n", double(timer.nsecsElapsed()) / 1e6);
    std::printf("the map's memory: %.1f MB (%zu boxes, %zu arrows)\n",
                double(heapInUse() - before) / 1e6, map->view()->graph().boxes().size(),
                map->view()->graph().edges().size());

    std::vector<double> builds;
    for (int i = 0; i < repeats; ++i) {
        timer.start();
        map->view()->invalidate();
        map->view()->layout();
        builds.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::printf("build and lay out the map: median %.1f ms\n", median(builds));

    // Each step: the command, then the map built again and drawn, as the event loop does it.
    auto timed = [&](const std::function<void()> &step) {
        timer.start();
        step();
        map->view()->viewport()->repaint();
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        QApplication::processEvents();
        return ms;
    };
    window.addAtEndCheck->setChecked(true);
    AddingCommands &adding = program.talmero.addingCommands();
    std::vector<double> adds;
    std::vector<double> undos;
    std::vector<double> selections;
    for (int i = 0; i < repeats; ++i) {
        adds.push_back(timed([&] {
            window.dialogTextEdit->setPlainText(QStringLiteral("Hello"));
            adding.addOrPlaceDialog();
        }));
        undos.push_back(timed([&] { window.undoAction->trigger(); }));
        selections.push_back(
            timed([&] { window.selectNode(tree.nodeAt((i * 7919 + 17) % tree.count())); }));
    }
    std::printf("add at the end, map redrawn: median %.1f ms\n", median(adds));
    std::printf("undo that add, map redrawn:  median %.1f ms\n", median(undos));
    std::printf("select a node, map centred:  median %.1f ms\n", median(selections));
    map->view()->zoomToFit();
    std::vector<double> fitted;
    for (int i = 0; i < repeats; ++i)
        fitted.push_back(timed([] {}));
    std::printf("redraw the whole map fitted:  median %.1f ms\n", median(fitted));
    return 0;
}
