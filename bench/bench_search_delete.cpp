// The text search and the delete command on a large document, run through the main window as
// the author runs them: a tree of 25,000 text dialogs (100,001 nodes), fully expanded in a
// shown window. Measures a search step that scans the whole tree, a walk over the first hits,
// and deleting the first dialog, which renumbers every later dialog. Runs on the offscreen
// platform unless another one is set.
#include "bench_prompter.h"
#include "document/dialog_edits.h"
#include "document/dialog_tree.h"
#include "document/node_text.h"
#include "platform/prompter.h"
#include "platform/shell_services.h"
#include "program/talmero_app.h"
#include "windows/dialog_tree_view.h"
#include "windows/main_window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QToolButton>
#include <cstdio>

namespace {

constexpr int kDialogs = 25000;
constexpr int kWalkedHits = 1000;

void fill(DialogTree &tree)
{
    tree.addChild(nullptr, NodeText::root());
    for (int i = 0; i < kDialogs; ++i) {
        DialogEdits(tree).addTextDialog(nullptr, "Line " + QByteArray::number(i),
                                        DialogEdits::Speaker::Player);
    }
    tree.renumberDialogs();
}

double msSince(const QElapsedTimer &timer)
{
    return timer.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QTemporaryDir folder;
    BenchPrompter prompter;
    BenchShell shell;
    TalmeroApp talmero(ProgramFolder(folder.path() + QLatin1Char('/')), prompter, shell, {});
    MainWindow &form = talmero.mainWindow();
    form.show();

    DialogTree built;
    fill(built);
    form.document().swapContents(built);
    QApplication::processEvents();
    std::printf("nodes: %d, dialogs: %d\n", form.document().count(), form.document().DialogCount());

    // One step that finds nothing: the whole tree is scanned and the end is reported.
    form.searchField->setText(QStringLiteral("no such text"));
    QElapsedTimer timer;
    timer.start();
    form.searchButton->click();
    std::printf("search step scanning all nodes, no hit:  %8.2f ms (messages: %d)\n",
                msSince(timer), prompter.messages);

    // A hit on the last node: a full scan that ends by selecting the hit.
    form.searchField->setText(QStringLiteral("line %1").arg(kDialogs - 1));
    timer.start();
    form.searchButton->click();
    std::printf("search step with its hit on the last node: %8.2f ms (position %d)\n",
                msSince(timer), form.SearchPosition);

    // Walking hit after hit from the top; each step selects a node and scrolls to it.
    form.searchField->setText(QStringLiteral("speaker"));
    timer.start();
    for (int i = 0; i < kWalkedHits; ++i)
        form.searchButton->click();
    std::printf("search walk, %d hits:                  %8.2f ms (%.3f ms a step)\n", kWalkedHits,
                msSince(timer), msSince(timer) / kWalkedHits);

    // Deleting Dialog1 renumbers the 24,999 dialogs after it.
    form.selectNode(form.document().nodeAt(1));
    timer.start();
    form.deleteSelectedButton->click();
    std::printf("delete Dialog1 with renumbering:          %8.2f ms (dialogs left %d)\n",
                msSince(timer), form.document().DialogCount());

    // Deleting the speaker node of the new Dialog1 asks for and removes its whole dialog.
    form.selectNode(form.document().nodeAt(3));
    timer.start();
    form.deleteSelectedButton->click();
    std::printf("delete via a child node with renumbering: %8.2f ms (dialogs left %d)\n",
                msSince(timer), form.document().DialogCount());

    // The same removal on a tree that no view shows: what the window adds to the figure above.
    DialogTree bare;
    fill(bare);
    timer.start();
    bare.remove(bare.nodeAt(1));
    bare.renumberDialogs();
    std::printf("the same on a tree without a view:        %8.2f ms (dialogs left %d)\n",
                msSince(timer), bare.DialogCount());

    // Dragging the last dialog onto Dialog1: a move to the front and a full renumbering.
    DialogNode *last = form.document().lastTopLevel();
    form.selectNode(last);
    timer.start();
    emit form.treeView->nodeDropped(form.document().nodeAt(1));
    std::printf("drop the last dialog onto Dialog1:        %8.2f ms (now %s)\n", msSince(timer),
                last->text().constData());
    return 0;
}
