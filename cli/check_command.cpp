#include "cli_command.h"

#include "document/dialog_check.h"
#include "document/dialog_tree.h"
#include "persistence/dlg_file.h"
#include "platform/app_error.h"

namespace {

constexpr int kClean = 0;
constexpr int kFindings = 1;
constexpr int kUnreadable = 2;

int run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    if (arguments.contains(QStringLiteral("--help"))) {
        out << "Usage: talmero-cli check FILE\n\n"
               "Loads a .dlg file as the editor opens it and prints one line per finding,\n"
               "\"DialogN: <node text>: <finding>\" (\"Root: ...\" outside dialogs): actions that\n"
               "name missing dialogs or choices, a goto to its own dialog, texts longer than 255\n"
               "characters, nodes out of the grammar, dialogs without children, and a missing\n"
               "configuration file (a relative path is taken from the current directory).\n"
               "Exits with 0 when nothing is found, 1 when findings were printed, 2 when the\n"
               "file cannot be read.\n";
        return kClean;
    }
    if (arguments.size() != 1) {
        err << "Usage: talmero-cli check FILE\n";
        return kUnreadable;
    }
    // The document of a freshly started editor, which Open then replaces.
    DialogTree tree;
    tree.addRootNode();
    try {
        DlgFile::load(tree, arguments.first());
    } catch (const AppError &e) {
        err << AppError::boxText(e.text()) << '\n';
        return kUnreadable;
    }
    const std::vector<CheckFinding> findings = DialogCheck::check(tree);
    for (const CheckFinding &finding : findings)
        out << finding.line() << '\n';
    return findings.empty() ? kClean : kFindings;
}

const CliCommand::Registration
    registration({"check", "talmero-cli check FILE    report broken references and malformed nodes",
                  false, run});

} // namespace
