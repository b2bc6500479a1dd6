#include "cli_command.h"

#include "persistence/dlg_writer.h"
#include "platform/app_error.h"
#include "platform/bounded_file.h"
#include "platform/file_writing.h"
#include "platform/output_target.h"
#include "script/script_build.h"
#include "script/script_parser.h"
#include "script_form.h"

#include <algorithm>

namespace {

constexpr int kDone = 0;
constexpr int kUsage = 1;
constexpr int kFailed = 2;

const char kUsageLine[] = "Usage: talmero-cli build SCRIPT --out FILE.dlg\n";
// Far above the script of any conversation a file can hold.
const qint64 kLargestScript = qint64(256) * 1024 * 1024;

int run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    if (arguments.contains(QStringLiteral("--help"))) {
        out << kUsageLine
            << "\nWrites the .dlg file of a script, read as the script view of the editor reads\n"
               "it. Exits with 0; with 1 on wrong arguments; with 2, writing nothing, when the\n"
               "script cannot be read, when a line does not read (each such line on standard\n"
               "error as SCRIPT:LINE: reason; a text longer than the 255 bytes a node holds is\n"
               "one), or when FILE.dlg cannot be written (it is SCRIPT itself, or exists and\n"
               "is no regular file).\n\n"
            << kScriptForm;
        return kDone;
    }
    QString scriptName;
    QString outName;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == u"--out" && i + 1 < arguments.size() && outName.isEmpty()) {
            outName = arguments[++i];
        } else if (scriptName.isEmpty() && !arguments[i].startsWith(u"--")) {
            scriptName = arguments[i];
        } else {
            err << kUsageLine;
            return kUsage;
        }
    }
    if (scriptName.isEmpty() || outName.isEmpty()) {
        err << kUsageLine;
        return kUsage;
    }
    try {
        OutputTarget::check(outName, {scriptName});
        // The user names the script, so a pipe is read too, within a limit.
        BoundedFile::Result file = BoundedFile::readNamed(scriptName, kLargestScript);
        if (!file.ok())
            throw AppError::cannotOpen(scriptName, file.reason);
        Script script = ScriptParser::parse(QString::fromUtf8(file.bytes));
        file.bytes.clear();
        DlgRecordList nodes;
        if (script.errors.empty())
            nodes = ScriptBuild::storedNodes(script);
        if (!script.errors.empty()) {
            std::stable_sort(
                script.errors.begin(), script.errors.end(),
                [](const ScriptError &a, const ScriptError &b) { return a.line < b.line; });
            for (const ScriptError &error : script.errors)
                err << scriptName << ':' << error.line << ": " << error.reason << '\n';
            return kFailed;
        }
        const QByteArray stream = DlgWriter::stream(nodes, script.viewSize);
        nodes.clear();
        FileWriting::replace(outName, stream, {scriptName});
    } catch (const AppError &e) {
        err << AppError::boxText(e.text()) << '\n';
        return kFailed;
    }
    return kDone;
}

const CliCommand::Registration registration(
    {"build", "talmero-cli build SCRIPT --out FILE.dlg    a .dlg file from a script", false, run});

} // namespace
