#include "talmero_app.h"

#include "editing/action_commands.h"
#include "editing/adding_commands.h"
#include "editing/delete_commands.h"
#include "editing/placement_window.h"
#include "editing/search_commands.h"
#include "editing/update_commands.h"
#include "fontgen/font_generator_window.h"
#include "fontgen/font_preview_window.h"
#include "generator/project_commands.h"
#include "persistence/file_commands.h"
#include "persistence/recovery_controller.h"
#include "review/review_commands.h"
#include "shell/about_window.h"
#include "shell/companion_tool_command.h"
#include "shell/file_type_registration.h"
#include "shell/options_window.h"
#include "windows/main_window.h"
#include "windows/script_window.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>

TalmeroApp::TalmeroApp(const ProgramFolder &programFolder, Prompter &prompter, ShellServices &shell,
                       const QStringList &arguments, const QString &recoveryFolder)
{
    m_form1 = std::make_unique<TForm1>(programFolder, prompter, shell);
    TForm1 &form = *m_form1;
    // The file commands take part in the main window's creation: the recent list and the file
    // named on the command line.
    m_files = new FileCommands(form);
    // Copies left by a program that did not close are offered before the command-line file.
    m_recovery = std::make_unique<RecoveryController>(form, *m_files, recoveryFolder);
    QObject::connect(m_files, &FileCommands::aboutToOpenCommandLineFile, m_recovery.get(),
                     &RecoveryController::offerAbandoned);
    QObject::connect(m_files, &FileCommands::changesGone, m_recovery.get(),
                     &RecoveryController::changesGone);
    form.FormCreate();
    m_files->ReadRecent();
    m_files->openCommandLineFile(arguments);

    m_form2 = std::make_unique<TForm2>(form.document(), prompter);
    m_form3 = std::make_unique<TForm3>();
    m_form5 = std::make_unique<TForm5>(programFolder, prompter, shell);
    m_form6 = std::make_unique<TForm6>();
    m_form7 = std::make_unique<TForm7>(shell);
    m_form8 =
        std::make_unique<TForm8>(prompter, FileTypeRegistration::forCurrentUser(),
                                 QDir::toNativeSeparators(QCoreApplication::applicationFilePath()));

    // The commands of each subsystem connect themselves to the controls they are handed.
    m_adding = new AddingCommands(form, *m_form2);
    new ActionCommands(form);
    new UpdateCommands(form);
    new DeleteCommands(form);
    new SearchCommands(form);
    new ProjectCommands(form, *m_files);
    new CompanionToolCommand(form);
    new ReviewCommands(form);
    QObject::connect(m_files, &FileCommands::documentOpened, m_form2.get(),
                     &TForm2::refreshchoices);
    const auto showModal = [](QAction *action, QDialog *window) {
        QObject::connect(action, &QAction::triggered, window, [window] { window->exec(); });
    };
    showModal(form.Options1, m_form8.get());
    showModal(form.Open4, m_form5.get());
    showModal(form.About1, m_form7.get());
}

// The recovery copy goes first (a normal end removes it); the other windows go before the main
// window, whose document some of them read.
TalmeroApp::~TalmeroApp()
{
    m_recovery.reset();
    m_form8.reset();
    m_form7.reset();
    m_form6.reset();
    m_form5.reset();
    m_form3.reset();
    m_form2.reset();
}
