#pragma once

#include "platform/program_folder.h"

#include <QStringList>
#include <memory>

class AboutWindow;
class AddingCommands;
class FileCommands;
class FontGeneratorWindow;
class FontPreviewWindow;
class MainWindow;
class OptionsWindow;
class PlacementWindow;
class Prompter;
class RecoveryController;
class ScriptWindow;
class ShellServices;

// The program: its seven windows, created in a fixed order with the main window first, and
// kept until the program ends, then the command handlers, each handed the windows and the
// other handlers it works with. Nothing below this class knows how the parts are connected.
// Tests build it against a temporary program folder with scripted prompts. Recovery copies of
// the unsaved document go into recoveryFolder (none: no copies); copies that earlier versions
// left in olderRecoveryFolders are offered too.
class TalmeroApp
{
public:
    TalmeroApp(const ProgramFolder &programFolder, Prompter &prompter, ShellServices &shell,
               const QStringList &arguments, const QString &recoveryFolder = QString(),
               const QStringList &olderRecoveryFolders = {});
    ~TalmeroApp();

    MainWindow &mainWindow() { return *m_mainWindow; }
    PlacementWindow &placementWindow() { return *m_placementWindow; }
    FontGeneratorWindow &fontGeneratorWindow() { return *m_fontGeneratorWindow; }
    AboutWindow &aboutWindow() { return *m_aboutWindow; }
    OptionsWindow &optionsWindow() { return *m_optionsWindow; }
    RecoveryController &recovery() { return *m_recovery; }
    FileCommands &fileCommands() { return *m_files; }
    AddingCommands &addingCommands() { return *m_adding; }

private:
    std::unique_ptr<MainWindow> m_mainWindow;
    std::unique_ptr<PlacementWindow> m_placementWindow;
    std::unique_ptr<ScriptWindow> m_scriptWindow;
    std::unique_ptr<FontGeneratorWindow> m_fontGeneratorWindow;
    std::unique_ptr<FontPreviewWindow> m_fontPreviewWindow;
    std::unique_ptr<AboutWindow> m_aboutWindow;
    std::unique_ptr<OptionsWindow> m_optionsWindow;
    std::unique_ptr<RecoveryController> m_recovery;
    // Owned by the main window.
    FileCommands *m_files = nullptr;
    AddingCommands *m_adding = nullptr;
};
