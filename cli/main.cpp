#include "cli_command.h"
#include "platform/program_folder.h"

#include <QCoreApplication>
#include <QFileDevice>
#include <QGuiApplication>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

void printHelp(QTextStream &out)
{
    out << "Usage: talmero-cli COMMAND [ARGUMENTS]\n\nCommands:\n";
    for (const CliCommand &command : CliCommand::all())
        out << "  " << command.usage << '\n';
    out << "\n  talmero-cli --help       shows this text\n"
           "  talmero-cli --version    shows the version\n";
    out.flush();
    // Where the files are depends on this machine: not part of the usage.
    QTextStream(stderr) << '\n' << ProgramFolder::ofExecutable().description() << '\n';
}

// The command's exit code, once everything it wrote to standard output has gone out; 2 when it
// could not (a full disk, a closed pipe): a script must not take a cut output for the whole.
int finished(int code, QTextStream &out, QTextStream &err)
{
    out.flush();
    // Bytes written to the stream's device directly wait in the device's own buffer.
    auto *device = qobject_cast<QFileDevice *>(out.device());
    errno = 0;
    const bool flushed = (!device || device->flush()) && std::fflush(stdout) == 0;
    const int error = errno;
    if (flushed && out.status() == QTextStream::Ok && !std::ferror(stdout))
        return code;
    const QString reason = !flushed && error != 0 ? QString::fromLocal8Bit(std::strerror(error))
                                                  : out.device()->errorString();
    err << "talmero-cli: cannot write to standard output: " << reason << '\n';
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    const CliCommand *command =
        argc > 1 ? CliCommand::find(QString::fromLocal8Bit(argv[1])) : nullptr;
    std::unique_ptr<QCoreApplication> app;
    QStringList given;
    for (int i = 2; i < argc; ++i)
        given.append(QString::fromLocal8Bit(argv[i]));
    if (command && (command->needsGuiFor ? command->needsGuiFor(given) : command->needsGui)) {
        // Glyphs are rendered without a display.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QStringList arguments = QCoreApplication::arguments().mid(1);

    if (arguments.isEmpty() || arguments.first() == u"--help" || arguments.first() == u"-h") {
        printHelp(out);
        return finished(arguments.isEmpty() ? 1 : 0, out, err);
    }
    if (arguments.first() == u"--version") {
        out << "talmero-cli " << TALMERO_VERSION << '\n';
        return 0;
    }
    if (!command) {
        err << "talmero-cli: unknown command '" << arguments.first() << "'\n";
        printHelp(err);
        return 1;
    }
    return finished(command->run(arguments.mid(1), out, err), out, err);
}
