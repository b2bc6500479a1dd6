// Load and save times of large .dlg files: text dialogs of four nodes each after the root.
// Run by hand on a Release or RelWithDebInfo build: bench_persistence [DIALOGS...]

#include "document/dialog_edits.h"
#include "document/dialog_tree.h"
#include "document/node_text.h"
#include "persistence/dlg_file.h"
#include "persistence/dlg_reader.h"
#include "persistence/dlg_tree_builder.h"
#include "persistence/dlg_writer.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

void buildDocument(DialogTree &tree, int dialogs)
{
    DialogNode *root = tree.addChild(nullptr, NodeText::root());
    tree.setImageIndex(root, 3);
    for (int i = 1; i <= dialogs; ++i) {
        DialogEdits(tree).addTextDialog(
            root, "Line number " + QByteArray::number(i) + " of a long conversation.",
            i % 2 ? DialogEdits::Speaker::Player : DialogEdits::Speaker::Entity);
    }
}

// CPU time of this thread: the machine may be busy with other work.
class CpuTimer
{
public:
    void restart() { m_start = now(); }
    double elapsedMs() const { return (now() - m_start) / 1e6; }

private:
    static double now()
    {
        timespec t;
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return double(t.tv_sec) * 1e9 + double(t.tv_nsec);
    }
    double m_start = now();
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void measure(int dialogs, const QString &folder)
{
    DialogTree tree;
    buildDocument(tree, dialogs);
    const QString path = folder + QStringLiteral("/bench_%1.dlg").arg(dialogs);
    constexpr int kRuns = 5;
    std::vector<double> saves;
    std::vector<double> loads;
    std::vector<double> writes;
    std::vector<double> reads;
    int dialogCount = 0;
    int nodes = 0;
    for (int run = 0; run < kRuns; ++run) {
        CpuTimer timer;
        DlgFile::save(tree, path, {});
        saves.push_back(timer.elapsedMs());

        DialogTree loaded;
        loaded.addChild(nullptr, NodeText::root());
        timer.restart();
        DlgFile::load(loaded, path);
        loads.push_back(timer.elapsedMs());
        dialogCount = loaded.DialogCount();
        nodes = loaded.count();

        // The same in memory: no file system, no flush to disk.
        timer.restart();
        QByteArray bytes = DlgWriter::stream(tree, {});
        writes.push_back(timer.elapsedMs());
        DialogTree rebuilt;
        timer.restart();
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        DlgTreeBuilder::build(rebuilt, DlgReader(buffer).read().records);
        DlgFile::removeActionsOnLoad(rebuilt);
        reads.push_back(timer.elapsedMs());
    }
    std::printf("%8d nodes (%6d text dialogs): file save %7.2f ms  load %7.2f ms | "
                "in memory write %7.2f ms  read %7.2f ms | DialogCount after load %d\n",
                nodes, dialogs, median(saves), median(loads), median(writes), median(reads),
                dialogCount);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.push_back(QByteArray(argv[i]).toInt());
    if (sizes.empty())
        sizes = {2500, 25000};
    std::printf("thread CPU time, median of 5 runs each\n");
    for (int dialogs : sizes)
        measure(dialogs, dir.path());
    return 0;
}
