#include "cli_command.h"

#include "persistence/dlg_reader.h"
#include "platform/ansi.h"
#include "platform/app_error.h"
#include "platform/file_writing.h"
#include "platform/output_target.h"
#include "script/script_writer.h"
#include "script_form.h"

namespace {

constexpr int kDone = 0;
constexpr int kUsage = 1;
constexpr int kFailed = 2;

const char kUsageLine[] = "Usage: talmero-cli script FILE [--out OUT]\n";

int run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    if (arguments.contains(QStringLiteral("--help"))) {
        out << kUsageLine
            << "\nWrites the script of a .dlg file as stored (every action kept, no dialog\n"
               "renumbered) to standard output, or to OUT, in UTF-8; build turns it back into\n"
               "the same nodes. Exits with 0, 1 on wrong arguments, 2 when FILE cannot be read\n"
               "or OUT cannot be written (it is FILE itself, or exists and is no regular file).\n\n"
            << kScriptForm;
        return kDone;
    }
    QString fileName;
    QString outName;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == u"--out" && i + 1 < arguments.size() && outName.isEmpty()) {
            outName = arguments[++i];
        } else if (fileName.isEmpty() && !arguments[i].startsWith(u"--")) {
            fileName = arguments[i];
        } else {
            err << kUsageLine;
            return kUsage;
        }
    }
    if (fileName.isEmpty()) {
        err << kUsageLine;
        return kUsage;
    }
    try {
        if (!outName.isEmpty())
            OutputTarget::check(outName, {fileName});
        const DlgReader::Content content = DlgReader::readFile(fileName);
        const QByteArray text = ScriptWriter::write(content.records, content.viewSize).text();
        // The whole program's check of standard output reports a write that fails.
        if (outName.isEmpty())
            out << Ansi::toUnicode(text);
        else
            FileWriting::replace(outName, Ansi::toUnicode(text).toUtf8(), {fileName});
    } catch (const AppError &e) {
        err << AppError::boxText(e.text()) << '\n';
        return kFailed;
    }
    return kDone;
}

const CliCommand::Registration registration(
    {"script", "talmero-cli script FILE [--out OUT]    the conversation as a script", false, run});

} // namespace
