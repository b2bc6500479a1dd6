#include "talmero_app.h"

#include "app/tform1.h"
#include "app/tform3.h"
#include "editing/tform2.h"
#include "fontgen/tform5.h"
#include "fontgen/tform6.h"
#include "persistence/file_commands.h"
#include "persistence/recovery_controller.h"
#include "shell/file_type_registration.h"
#include "shell/tform7.h"
#include "shell/tform8.h"

#include <QCoreApplication>
#include <QDir>

TalmeroApp::TalmeroApp(const ProgramFolder &programFolder, Prompter &prompter, ShellServices &shell,
                       const QStringList &arguments, const QString &recoveryFolder)
{
    m_form1 = std::make_unique<TForm1>(programFolder, prompter, shell);
    // Copies left by a program that did not close are offered before the command-line file.
    m_recovery = std::make_unique<RecoveryController>(*m_form1, recoveryFolder);
    FileCommands &files = m_form1->fileCommands();
    QObject::connect(&files, &FileCommands::aboutToOpenCommandLineFile, m_recovery.get(),
                     &RecoveryController::offerAbandoned);
    QObject::connect(&files, &FileCommands::changesGone, m_recovery.get(),
                     &RecoveryController::changesGone);
    m_form1->FormCreate(arguments);
    m_form2 = std::make_unique<TForm2>(*m_form1);
    m_form3 = std::make_unique<TForm3>();
    m_form5 = std::make_unique<TForm5>(programFolder, prompter, shell);
    m_form6 = std::make_unique<TForm6>();
    m_form7 = std::make_unique<TForm7>(shell);
    m_form8 =
        std::make_unique<TForm8>(prompter, FileTypeRegistration::forCurrentUser(),
                                 QDir::toNativeSeparators(QCoreApplication::applicationFilePath()));
    m_form1->setWindows(m_form2.get(), m_form5.get(), m_form7.get(), m_form8.get());
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
