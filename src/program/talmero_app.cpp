#include "talmero_app.h"

#include "editing/action_commands.h"
#include "editing/adding_commands.h"
#include "editing/clipboard_commands.h"
#include "editing/delete_commands.h"
#include "editing/drop_command.h"
#include "editing/find_replace_commands.h"
#include "editing/placement_window.h"
#include "editing/search_commands.h"
#include "editing/update_commands.h"
#include "flowmap/flow_map_commands.h"
#include "flowmap/flow_map_view.h"
#include "flowmap/flow_map_window.h"
#include "flowmap/flow_text_editor.h"
#include "fontgen/font_generator_window.h"
#include "fontgen/font_preview_window.h"
#include "generator/project_commands.h"
#include "persistence/file_commands.h"
#include "persistence/recovery_controller.h"
#include "platform/user_settings.h"
#include "review/review_commands.h"
#include "script/script_commands.h"
#include "script/script_editor.h"
#include "script/script_highlighter.h"
#include "script/script_pane.h"
#include "shell/about_window.h"
#include "shell/companion_tool_command.h"
#include "shell/file_type_registration.h"
#include "shell/options_window.h"
#include "spelling/spelling_commands.h"
#include "translation/translation_commands.h"
#include "windows/main_window.h"
#include "windows/script_window.h"
#include "windows/window_places.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QTextDocument>

TalmeroApp::TalmeroApp(const ProgramFolder &programFolder, Prompter &prompter, ShellServices &shell,
                       const QStringList &arguments, const QString &recoveryFolder,
                       const QStringList &olderRecoveryFolders)
{
    m_mainWindow = std::make_unique<MainWindow>(programFolder, prompter, shell);
    MainWindow &window = *m_mainWindow;
    WindowPlaces::keep(&window);
    // The file commands take part in the main window's creation: the recent list and the file
    // named on the command line.
    m_files = new FileCommands(window);
    // The action switch decides what Open keeps, the command-line file's open included. It
    // reads the user's settings first: a settings file left alone is said once the window shows.
    new ActionCommands(window);
    if (!UserSettings::refusal().isEmpty())
        window.tellLater(UserSettings::refusal());
    m_recovery = std::make_unique<RecoveryController>(window, *m_files, recoveryFolder,
                                                      olderRecoveryFolders);
    QObject::connect(m_files, &FileCommands::changesGone, m_recovery.get(),
                     &RecoveryController::changesGone);
    // The script view's lines not applied are part of the recovery copy, so the view is made
    // before a copy may come back.
    auto *script = new ScriptCommands(window);
    ScriptPane *pane = script->pane();
    m_recovery->addPart(
        {QStringLiteral("script"),
         [pane] { return pane->hasUnappliedText() ? pane->text().toUtf8() : QByteArray(); },
         [script](const QByteArray &text) { script->restoreUnapplied(QString::fromUtf8(text)); }});
    QObject::connect(pane->editor()->document(), &QTextDocument::contentsChanged, m_recovery.get(),
                     &RecoveryController::documentChanged);
    window.prepareEmptyDocument();
    m_files->readRecentFiles();
    // Copies left by a program that did not close are offered before the command-line file.
    const bool restored = m_recovery->offerAbandoned();
    m_files->openCommandLineFile(arguments, restored);

    m_placementWindow = std::make_unique<PlacementWindow>(window.document(), prompter);
    m_scriptWindow = std::make_unique<ScriptWindow>();
    m_fontGeneratorWindow = std::make_unique<FontGeneratorWindow>(programFolder, prompter, shell);
    m_fontPreviewWindow = std::make_unique<FontPreviewWindow>();
    m_aboutWindow = std::make_unique<AboutWindow>(shell, programFolder.description());
    m_optionsWindow = std::make_unique<OptionsWindow>(
        prompter, FileTypeRegistration::forCurrentUser(),
        QDir::toNativeSeparators(QCoreApplication::applicationFilePath()));

    // The commands of each subsystem connect themselves to the controls they are handed.
    m_adding = new AddingCommands(window, *m_placementWindow);
    new UpdateCommands(window);
    new DeleteCommands(window);
    new DropCommand(window);
    new SearchCommands(window);
    new ProjectCommands(window, *m_files);
    new CompanionToolCommand(window);
    auto *clipboard = new ClipboardCommands(window);
    auto *review = new ReviewCommands(window);
    new FindReplaceCommands(window);
    new TranslationCommands(window);
    auto *spelling = new SpellingCommands(window, *review->checkWindow());
    pane->highlighter()->setDictionary([spelling] { return spelling->dictionary(); });
    QObject::connect(spelling, &SpellingCommands::languageChanged, pane->highlighter(),
                     &ScriptHighlighter::recolour);
    spelling->offerSuggestions(pane->editor());
    // Writing in the flow map: its commands, the tree's clipboard and delete commands and
    // "Read from here" in its box menu, and spelling in its text editor.
    QObject::connect(review, &ReviewCommands::flowMapWindowMade, review,
                     [&window, clipboard, spelling, review](FlowMapWindow *map) {
                         new FlowMapCommands(window, *map, clipboard->deleteAction);
                         map->addMenuActions({clipboard->cutAction, clipboard->copyAction,
                                              clipboard->pasteAction, clipboard->duplicateAction,
                                              clipboard->deleteAction});
                         map->addMenuActions({review->readFromHereAction});
                         spelling->attach(map->view()->textEditor());
                     });
    QObject::connect(m_files, &FileCommands::documentOpened, m_placementWindow.get(),
                     &PlacementWindow::fillChoiceList);
    const auto showModal = [](QAction *action, QDialog *dialog) {
        QObject::connect(action, &QAction::triggered, dialog, [dialog] { dialog->exec(); });
    };
    showModal(window.programOptionsAction, m_optionsWindow.get());
    showModal(window.fontGeneratorAction, m_fontGeneratorWindow.get());
    showModal(window.aboutAction, m_aboutWindow.get());
}

// The recovery copy goes first (a normal end removes it); the other windows go before the main
// window, whose document some of them read.
TalmeroApp::~TalmeroApp()
{
    m_recovery.reset();
    m_optionsWindow.reset();
    m_aboutWindow.reset();
    m_fontPreviewWindow.reset();
    m_fontGeneratorWindow.reset();
    m_scriptWindow.reset();
    m_placementWindow.reset();
}
