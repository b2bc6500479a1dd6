#include "cli_command.h"

#include "document/dialog_tree.h"
#include "flowmap/flow_export.h"
#include "flowmap/flow_graph.h"
#include "flowmap/flow_layout.h"
#include "flowmap/flow_painter.h"
#include "persistence/dlg_file.h"
#include "platform/app_error.h"
#include "platform/file_writing.h"
#include "platform/output_target.h"

#include <QIODevice>

namespace {

constexpr int kDone = 0;
constexpr int kUsage = 1;
constexpr int kUnreadable = 2;

void printHelp(QTextStream &out)
{
    out << "Usage: talmero-cli map FILE [--format svg|dot|png] [--out OUT]\n\n"
           "Draws the flow of a .dlg file as stored (actions are kept, as the game sees them):\n"
           "one box per dialog, an arrow to the dialog that follows a text dialog, one from\n"
           "each answer of a choice dialog, one for each goto, a broken arrow for a goto or\n"
           "delete action that names no existing dialog, and an end mark where the\n"
           "conversation ends. Writes to standard output unless\n"
           "--out names a file. Formats:\n"
           "  svg  (default) each dialog a <g class=\"dialog text\"> or <g class=\"dialog\n"
           "       choice\"> with id=\"dialogN\"; each arrow a <g class=\"edge KIND\"> (KIND\n"
           "       next, answer, goto or broken) with data-from=\"N\" and data-to=\"M\" (no\n"
           "       data-to on a broken arrow); an answer's also with data-choice=\"C\"; each\n"
           "       end of the conversation a <g class=\"end\"> with data-from=\"N\" (and\n"
           "       data-choice=\"C\" after an answer).\n"
           "  dot  a Graphviz digraph: nodes dN, each edge with kind=next|answer|goto|broken;\n"
           "       a broken edge ends in a point node brokenK.\n"
           "  png  a picture of the map, scaled down when it would be very large; a map\n"
           "       too large to stay readable is refused (write svg or dot).\n"
           "Exits with 0 on success, 1 on wrong arguments, 2 when the file cannot be read or\n"
           "the output cannot be written.\n";
}

int run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    if (arguments.contains(QStringLiteral("--help"))) {
        printHelp(out);
        return kDone;
    }
    QString fileName;
    QString format = QStringLiteral("svg");
    QString outName;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if ((argument == u"--format" || argument == u"--out") && i + 1 < arguments.size()) {
            (argument == u"--format" ? format : outName) = arguments[++i];
        } else if (fileName.isEmpty() && !argument.startsWith(u"--")) {
            fileName = argument;
        } else {
            err << "talmero-cli map: unexpected argument '" << argument << "'\n";
            return kUsage;
        }
    }
    if (fileName.isEmpty() || (format != u"svg" && format != u"dot" && format != u"png")) {
        err << "Usage: talmero-cli map FILE [--format svg|dot|png] [--out OUT]\n";
        return kUsage;
    }
    try {
        if (!outName.isEmpty())
            OutputTarget::check(outName, {fileName});
        DialogTree tree;
        DlgFile::read(tree, fileName);
        const FlowGraph graph = FlowGraph::build(tree);
        QByteArray bytes;
        if (format == u"dot") {
            bytes = FlowExport::dot(graph);
        } else {
            const FlowLayout layout = FlowLayout::lay(graph);
            if (format == u"svg")
                bytes = FlowExport::svg(graph, layout);
            else
                bytes = FlowPainter::png(graph, layout);
        }
        if (outName.isEmpty()) {
            // The whole program's check of standard output reports a write that fails.
            out.flush();
            out.device()->write(bytes);
        } else {
            FileWriting::replace(outName, bytes, {fileName});
        }
    } catch (const AppError &e) {
        err << AppError::boxText(e.text()) << '\n';
        return kUnreadable;
    }
    return kDone;
}

// Only a picture needs fonts; text formats run without the GUI module's start-up.
bool drawsPicture(const QStringList &arguments)
{
    const qsizetype format = arguments.indexOf(QStringLiteral("--format"));
    return format >= 0 && format + 1 < arguments.size() && arguments[format + 1] == u"png";
}

const CliCommand::Registration
    registration({"map", "talmero-cli map FILE [--format svg|dot|png] [--out OUT]    draw the flow",
                  true, run, drawsPicture});

} // namespace
