// Adding one text dialog (four node creations, each after the renumbering pass) to trees of
// growing size: appended at the end, and placed before the first dialog, which renumbers every
// dialog of the tree.
#include "document/dialog_edits.h"
#include "document/dialog_tree.h"
#include "document/node_text.h"

#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>

namespace {

DialogNode *addTextDialog(DialogTree &tree)
{
    return DialogEdits(tree).addTextDialog(nullptr, "A line of the conversation",
                                           DialogEdits::Speaker::Player);
}

void build(DialogTree &tree, int nodes)
{
    tree.addChild(nullptr, NodeText::root());
    while (tree.count() + 4 <= nodes)
        addTextDialog(tree);
}

double bestOf(int runs, int nodes, bool placeFirst)
{
    double best = 1e9;
    for (int run = 0; run < runs; ++run) {
        DialogTree tree;
        build(tree, nodes);
        tree.renumberDialogs();
        QElapsedTimer timer;
        timer.start();
        DialogNode *dialog = addTextDialog(tree);
        if (placeFirst) {
            tree.moveBefore(dialog, tree.nodeAt(1));
            tree.renumberDialogs();
        }
        best = std::min(best, timer.nsecsElapsed() / 1e6);
        if (tree.DialogCount() != (tree.count() - 1) / 4)
            std::fprintf(stderr, "numbering is off\n");
    }
    return best;
}

} // namespace

int main()
{
    std::printf("%10s %22s %28s\n", "nodes", "add at end (ms)", "add before Dialog1 (ms)");
    for (const int nodes : {1000, 10000, 100000}) {
        std::printf("%10d %22.4f %28.4f\n", nodes, bestOf(5, nodes, false), bestOf(5, nodes, true));
    }
    return 0;
}
