// Times the flow map on a large conversation in a shown program: opening the map window, the
// map following an edit (adding a dialog at the end, its undo) with its redraw, edits made in
// the map (a text changed in place, a dialog inserted, a goto dragged) with the tree and the map
// redrawn, the overview's redraw, and the routing alone, as the median of several runs. Also
// reports the memory the map holds next to the document's.
// Run by hand: bench_flow_map [dialogs] [repeats] [save-to.dlg]; the file, when named, is the
// conversation for talmero-cli map and for trying the window by hand.

#include "bench_measure.h"
#include "document/dialog_numbers.h"
#include "document/node_text.h"
#include "editing/adding_commands.h"
#include "flowmap/flow_map_commands.h"
#include "flowmap/flow_map_view.h"
#include "flowmap/flow_map_window.h"
#include "flowmap/flow_overview.h"
#include "flowmap/flow_painter.h"
#include "flowmap/flow_text_editor.h"
#include "persistence/dlg_file.h"
#include "review/review_commands.h"
#include "shown_program.h"
#include "windows/dialog_tree_view.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <algorithm>
#include <cstdio>
#include <ctime>
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

// Wall-clock time and the time this thread ran, in milliseconds: on a busy machine the wall
// time waits for the processor too.
class Stopwatch
{
public:
    void start()
    {
        m_wall.start();
        m_cpu = cpuNow();
    }
    std::pair<double, double> elapsed() const
    {
        return {double(m_wall.nsecsElapsed()) / 1e6, cpuNow() - m_cpu};
    }

private:
    static double cpuNow()
    {
        timespec now{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
    }
    QElapsedTimer m_wall;
    double m_cpu = 0;
};

using Times = std::vector<std::pair<double, double>>;

void report(const char *what, Times times)
{
    std::vector<double> walls;
    std::vector<double> processor;
    for (const auto &[wall, ran] : times) {
        walls.push_back(wall);
        processor.push_back(ran);
    }
    std::printf("%-44s median %6.1f ms (%.1f ms on the processor)\n", what, median(walls),
                median(processor));
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
    Stopwatch timer;
    const qint64 before = heapInUse();
    timer.start();
    review->flowMapAction->trigger();
    FlowMapWindow *map = review->flowMapWindow();
    FlowMapView *view = map->view();
    view->viewport()->repaint();
    QApplication::processEvents();
    report("open the map window:", {timer.elapsed()});
    std::printf("the map's memory: %.1f MB (%zu boxes, %zu arrows)\n",
                double(heapInUse() - before) / 1e6, view->graph().boxes().size(),
                view->graph().edges().size());

    Times builds;
    Times layouts;
    const FlowGraph graph = FlowGraph::build(tree);
    for (int i = 0; i < repeats; ++i) {
        timer.start();
        view->invalidate();
        view->layout();
        builds.push_back(timer.elapsed());
        timer.start();
        const FlowLayout laid = FlowLayout::lay(graph);
        layouts.push_back(timer.elapsed());
    }
    report("build and lay out the map:", builds);
    report("lay out and route alone:", layouts);

    // Each step: the command, then the tree and the map drawn again, as the event loop does it.
    auto timed = [&](const std::function<void()> &step) {
        timer.start();
        step();
        window.treeView->viewport()->repaint();
        view->viewport()->repaint();
        const auto took = timer.elapsed();
        QApplication::processEvents();
        return took;
    };
    window.addAtEndCheck->setChecked(true);
    AddingCommands &adding = program.talmero.addingCommands();
    Times adds;
    Times undos;
    Times selections;
    for (int i = 0; i < repeats; ++i) {
        adds.push_back(timed([&] {
            window.dialogTextEdit->setPlainText(QStringLiteral("Hello"));
            adding.addOrPlaceDialog();
        }));
        undos.push_back(timed([&] { window.undoAction->trigger(); }));
        selections.push_back(
            timed([&] { window.selectNode(tree.nodeAt((i * 7919 + 17) % tree.count())); }));
    }
    report("add at the end, tree and map redrawn:", adds);
    report("undo that add, tree and map redrawn:", undos);
    report("select a node, map centred:", selections);

    // Edits made in the map: a text changed in place, a dialog inserted after a box (its
    // editor opened), a goto dragged to a box some rows up.
    auto *commands = map->findChild<FlowMapCommands *>();
    view->zoomBy(1 / view->zoom(), QPointF());
    Times texts;
    Times inserts;
    Times gotos;
    for (int i = 0; i < repeats; ++i) {
        const FlowGraph &shown = view->graph();
        const size_t box = (size_t(i) * 7919 + 101) % shown.boxes().size();
        const DialogNode *dialog = shown.boxes()[box].dialog;
        const DialogNode *target = shown.boxes()[box > 20 ? box - 20 : 0].dialog;
        view->selectBox(int(box));
        QApplication::processEvents();
        texts.push_back(timed(
            [&] { commands->changeText(dialog, QStringLiteral("Changed in place %1").arg(i)); }));
        inserts.push_back(timed([&] { commands->addAfter(dialog, false); }));
        view->textEditor()->hide();
        gotos.push_back(timed([&] { commands->setGoto(dialog, target); }));
    }
    report("in-place text, tree and map redrawn:", texts);
    report("insert after a box, tree and map redrawn:", inserts);
    report("goto dragged to a box, tree and map redrawn:", gotos);

    view->zoomToFit();
    Times fitted;
    for (int i = 0; i < repeats; ++i)
        fitted.push_back(timed([] {}));
    report("redraw the map at Fit:", fitted);
    Times overviews;
    Times moves;
    auto *overview = view->findChild<FlowOverview *>();
    for (int i = 0; i < repeats; ++i) {
        timer.start();
        const QImage picture = FlowPainter::overview(view->layout(), QSize(180, 180));
        overviews.push_back(timer.elapsed());
        timer.start();
        view->centreOn(
            view->layout().boxes()[size_t(i) * 997 % view->layout().boxes().size()].center());
        overview->repaint();
        moves.push_back(timer.elapsed());
        QApplication::processEvents();
    }
    report("overview picture of the whole map:", overviews);
    report(overview->isVisible() ? "overview redrawn after a move:"
                                 : "overview redrawn after a move (hidden):",
           moves);
    return 0;
}
