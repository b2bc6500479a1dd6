// Times the script on a large conversation: talmero-cli's build and script of it, with the
// memory they hold next to the document's; in a shown program, opening the script view, a
// keystroke in it, and applying a one-line change with the tree and the flow map redrawn, as
// the median of several runs.
// Run by hand: bench_script [dialogs] [repeats] [save-to.dlg].

#include "bench_measure.h"
#include "flowmap/flow_map_view.h"
#include "flowmap/flow_map_window.h"
#include "persistence/dlg_file.h"
#include "persistence/dlg_reader.h"
#include "persistence/dlg_writer.h"
#include "platform/ansi.h"
#include "platform/file_writing.h"
#include "review/review_commands.h"
#include "script/script_build.h"
#include "script/script_commands.h"
#include "script/script_editor.h"
#include "script/script_pane.h"
#include "script/script_parser.h"
#include "script/script_writer.h"
#include "shown_program.h"
#include "windows/dialog_tree_view.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTextBlock>
#include <cstdio>
#include <functional>

namespace {

// Blocks of six text dialogs and a choice of three answers: two dialogs under the first, one
// with a goto back to the block's start under the second, none under the third.
QByteArray conversationScript(int dialogs)
{
    QByteArray script = "Config = Configs/Example.ini\n";
    int number = 0;
    const auto say = [&](int level, const char *speaker) {
        ++number;
        script += QByteArray(2 * level, ' ') + "Dialog" + QByteArray::number(number) + ' ' +
                  speaker + ": Line " + QByteArray::number(number) +
                  ": the guard looks at you and says something long\n";
    };
    while (number < dialogs) {
        const int start = number + 1;
        for (int i = 0; i < 6; ++i)
            say(0, i % 2 ? "Player" : "Entity");
        script += "Dialog" + QByteArray::number(++number) + " choice\n  1. Answer 1\n";
        say(2, "Entity");
        say(2, "Player");
        script += "  2. Answer 2\n";
        say(2, "Entity");
        script += "      Goto = " + QByteArray::number(start) + "\n  3. Answer 3\n";
    }
    return script;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int dialogs = argc > 1 ? std::atoi(argv[1]) : 25000;
    const int repeats = argc > 2 ? std::atoi(argv[2]) : 9;
    QElapsedTimer timer;

    // build: the script's lines into the file's bytes.
    QByteArray file;
    {
        const QByteArray text = conversationScript(dialogs);
        const qint64 before = heapInUse();
        timer.start();
        Script script = ScriptParser::parse(QString::fromUtf8(text));
        const qint64 parsed = heapInUse() - before;
        const DlgRecordList nodes = ScriptBuild::storedNodes(script);
        file = DlgWriter::stream(nodes, {});
        std::printf("build: %.1f ms for a script of %.1f MB (%zu lines), %.1f MB held read\n",
                    msSince(timer), double(text.size()) / 1e6, script.entries.size(),
                    double(parsed) / 1e6);
    }
    QBuffer device(&file);
    device.open(QIODevice::ReadOnly);
    {
        const qint64 before = heapInUse();
        timer.start();
        const DlgReader::Content content = DlgReader(device).read();
        const qint64 records = heapInUse() - before;
        const Script script = ScriptWriter::write(content.records);
        const QByteArray utf8 = Ansi::toUnicode(script.text()).toUtf8();
        std::printf("script: %.1f ms for %zu nodes, %.1f MB of records and %.1f MB of script "
                    "held\n",
                    msSince(timer), content.records.size(), double(records) / 1e6,
                    double(heapInUse() - before - records) / 1e6);
    }
    if (argc > 3)
        FileWriting::replace(QString::fromLocal8Bit(argv[3]), file);

    BenchPrompter prompter;
    ShownProgram program(prompter);
    MainWindow &window = program.talmero.mainWindow();
    DialogTree &tree = window.document();
    {
        const qint64 before = heapInUse();
        device.seek(0);
        DlgFile::read(tree, device);
        std::printf("document: %d nodes, %d dialogs, %.1f MB on the heap\n", tree.count(),
                    tree.DialogCount(), double(heapInUse() - before) / 1e6);
    }
    QApplication::processEvents();
    auto *review = window.findChild<ReviewCommands *>();
    review->flowMapAction->trigger();
    FlowMapWindow *map = review->flowMapWindow();
    QApplication::processEvents();

    auto *commands = window.findChild<ScriptCommands *>();
    ScriptPane *pane = commands->pane();
    ScriptEditor *editor = pane->editor();
    const qint64 beforeView = heapInUse();
    timer.start();
    commands->scriptAction->trigger();
    editor->viewport()->repaint();
    std::printf("open the script view: %.1f ms, %.1f MB held\n", msSince(timer),
                double(heapInUse() - beforeView) / 1e6);
    QApplication::processEvents();

    // A line in the middle of the script, its text's end.
    const QTextBlock middle =
        editor->document()->findBlockByNumber(editor->document()->blockCount() / 2 - 1);
    std::vector<double> keys;
    for (int i = 0; i < repeats; ++i) {
        QTextCursor at(middle);
        at.movePosition(QTextCursor::EndOfBlock);
        editor->setTextCursor(at);
        editor->centerCursor();
        QApplication::processEvents();
        timer.start();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QApplication::sendEvent(editor, &press);
        editor->viewport()->repaint();
        keys.push_back(msSince(timer));
        QApplication::processEvents();
    }
    std::printf("a keystroke in the view, redrawn: median %.2f ms\n", median(keys));

    std::vector<double> applies;
    for (int i = 0; i < repeats; ++i) {
        timer.start();
        commands->apply();
        window.treeView->viewport()->repaint();
        map->view()->viewport()->repaint();
        applies.push_back(msSince(timer));
        QApplication::processEvents();
        window.undoAction->trigger();
        QApplication::processEvents();
        QTextCursor at(editor->document()->findBlockByNumber(middle.blockNumber()));
        at.movePosition(QTextCursor::EndOfBlock);
        at.insertText(QStringLiteral("a"));
    }
    std::printf("apply a one-line change, tree and map redrawn: median %.1f ms\n", median(applies));
    return 0;
}
