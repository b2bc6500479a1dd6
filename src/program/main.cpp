#include "platform/qt_prompter.h"
#include "platform/qt_shell_services.h"
#include "program/modal_focus.h"
#include "program/shutdown_guard.h"
#include "program/talmero_app.h"
#include "windows/main_window.h"

#include <QApplication>
#include <QStandardPaths>

int main(int argc, char *argv[])
{
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
