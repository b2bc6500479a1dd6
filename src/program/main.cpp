#include "platform/qt_prompter.h"
#include "platform/qt_shell_services.h"
#include "program/modal_focus.h"
#include "program/shutdown_guard.h"
#include "program/talmero_app.h"
#include "windows/main_window.h"

#include <QApplication>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTextStream>
#include <optional>

namespace {

// --help and --version, answered without a display; a file of either name opens as any other.
std::optional<int> answerOption(int argc, char *argv[])
{
    QCoreApplication core(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const QString option = arguments.value(1);
    if (arguments.size() != 2 || QFileInfo::exists(option) ||
        (option != u"--help" && option != u"--version"))
        return std::nullopt;
    QTextStream out(stdout);
    if (option == u"--version") {
        out << "talmero " << TALMERO_VERSION << '\n';
        return 0;
    }
    out << "Usage: talmero [FILE.dlg]\n\n"
           "Talmero writes branching game conversations: a tree of numbered text dialogs and\n"
           "choice dialogs, saved as .dlg files and turned into a project folder for the 3D Game\n"
           "Studio engine. FILE.dlg is opened at start when it exists; any other argument is\n"
           "ignored. The editor's own commands are in its menus; talmero-cli does the same\n"
           "work without a window.\n\n"
           "  --help       shows this text\n"
           "  --version    shows the version\n";
    out.flush();
    // Where the files are depends on this machine: not part of the usage.
    QTextStream(stderr) << '\n' << ProgramFolder::ofExecutable().description() << '\n';
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (const std::optional<int> answered = answerOption(argc, argv))
        return *answered;
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("talmero"));

    QtPrompter prompter(QStringLiteral("Talmero Basic"));
    QtShellServices shell;
    // The recovery copies live in the user's data folder with everything else the program
    // writes; earlier versions kept them in the folder of the application's name.
    TalmeroApp talmero(ProgramFolder::ofExecutable(), prompter, shell,
                       QApplication::arguments().mid(1),
                       ProgramFolder::userDataFolder() + QStringLiteral("/Recovery"),
                       {QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)});
    prompter.setOwner(&talmero.mainWindow());
    application.installEventFilter(new ModalFocus(&talmero.mainWindow()));
    ShutdownGuard guard(talmero.recovery());
    talmero.mainWindow().show();
    return application.exec();
}
