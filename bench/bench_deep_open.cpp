// Times opening a deeply nested file in a shown main window, as Open does it: the read, the
// view laid out and painted, then a scroll to the deepest node and its painting. The file is a
// chain of choice dialogs, each answer holding the next dialog, two levels per dialog. Run by
// hand: bench_deep_open [deepest level ...] (default: the reader's limit; a deeper file is
// refused by Open).

#include "bench_measure.h"
#include "document/dialog_tree.h"
#include "persistence/dlg_reader.h"
#include "persistence/dlg_writer.h"
#include "persistence/file_commands.h"
#include "shown_program.h"
#include "windows/dialog_tree_view.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QScrollBar>
#include <cstdio>
#include <cstdlib>

namespace {

// Answers the file dialog of Open with one file.
class OpenPrompter : public BenchPrompter
{
public:
    QString file;
    std::optional<QString> chooseFile(const FileDialogRequest &) override { return file; }
};

// Root, then Dialog1 > Choice = 1 > (Text = Go on, Dialog2 > Choice = 1 > ...) down to the
// given level.
DlgRecordList chain(int deepest)
{
    DlgRecordList records;
    records.push_back({0, 3, 0, -1, -1, 0, "Root"});
    records.push_back({1, 0, 0, -1, -1, 0, "Config = Configs/Example.ini"});
    for (int level = 0; level <= deepest; level += 2) {
        records.push_back({level, 2, 0, -1, -1, 0, "Dialog"});
        if (level + 1 <= deepest) {
            records.push_back({level + 1, 0, 0, -1, -1, 0, "Choice = 1"});
            records.push_back({level + 2, 0, 0, -1, -1, 0, "Text = Go on"});
        }
    }
    return records;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    std::vector<int> depths;
    for (int i = 1; i < argc; ++i)
        depths.push_back(std::atoi(argv[i]));
    if (depths.empty())
        depths.push_back(DlgReader::kDeepestLevel);

    OpenPrompter prompter;
    ShownProgram program(prompter);
    TalmeroApp &talmero = program.talmero;
    MainWindow &form = talmero.mainWindow();
    QApplication::processEvents();

    for (const int deepest : depths) {
        prompter.file = program.dir.filePath(QStringLiteral("deep%1.dlg").arg(deepest));
        QFile file(prompter.file);
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(DlgWriter::stream(chain(deepest), {})) < 0)
            return 1;
        file.close();

        QElapsedTimer timer;
        timer.start();
        talmero.fileCommands().openChosenFile();
        const double opened = msSince(timer);
        form.treeView->viewport()->repaint();
        QApplication::processEvents();
        const double shown = msSince(timer);
        timer.restart();
        form.treeView->scrollToBottom();
        form.treeView->horizontalScrollBar()->setValue(
            form.treeView->horizontalScrollBar()->maximum());
        form.treeView->viewport()->repaint();
        QApplication::processEvents();
        const double scrolled = msSince(timer);
        std::printf("deepest level %6d (%6d nodes): Open %8.1f ms, shown %8.1f ms, scrolled to "
                    "the deepest node %8.1f ms\n",
                    deepest, form.document().count(), opened, shown, scrolled);
        std::fflush(stdout);
    }
    return 0;
}
