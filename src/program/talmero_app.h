#pragma once

#include "platform/program_folder.h"

#include <QStringList>
#include <memory>

class AddingCommands;
class FileCommands;
class Prompter;
class RecoveryController;
class ShellServices;
class TForm1;
class TForm2;
class TForm3;
class TForm5;
class TForm6;
class TForm7;
class TForm8;

// The program: its seven windows, created in a fixed order with the main window first, and
// kept until the program ends, then the command handlers, each handed the windows and the
// other handlers it works with. Nothing below this class knows how the parts are connected.
// Tests build it against a temporary program folder with scripted prompts. Recovery copies of
// the unsaved document go into recoveryFolder (none: no copies).
class TalmeroApp
{
public:
    TalmeroApp(const ProgramFolder &programFolder, Prompter &prompter, ShellServices &shell,
               const QStringList &arguments, const QString &recoveryFolder = QString());
    ~TalmeroApp();

    TForm1 &mainWindow() { return *m_form1; }
    TForm2 &placementWindow() { return *m_form2; }
    TForm5 &fontGenerator() { return *m_form5; }
    TForm7 &aboutWindow() { return *m_form7; }
    TForm8 &optionsWindow() { return *m_form8; }
    RecoveryController &recovery() { return *m_recovery; }
    FileCommands &fileCommands() { return *m_files; }
    AddingCommands &addingCommands() { return *m_adding; }

private:
    std::unique_ptr<TForm1> m_form1;
    std::unique_ptr<TForm2> m_form2;
    std::unique_ptr<TForm3> m_form3;
    std::unique_ptr<TForm5> m_form5;
    std::unique_ptr<TForm6> m_form6;
    std::unique_ptr<TForm7> m_form7;
    std::unique_ptr<TForm8> m_form8;
    std::unique_ptr<RecoveryController> m_recovery;
    // Owned by the main window.
    FileCommands *m_files = nullptr;
    AddingCommands *m_adding = nullptr;
};
