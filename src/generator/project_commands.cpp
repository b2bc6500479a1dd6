#include "project_commands.h"

#include "document/config_node.h"
#include "generator/project_generator.h"
#include "persistence/file_commands.h"
#include "platform/ansi.h"
#include "platform/native_path.h"
#include "windows/main_window.h"
#include "windows/undo_history.h"

#include <QAction>
#include <QToolButton>

ProjectCommands::ProjectCommands(MainWindow &window, FileCommands &files)
    : QObject(&window), m_window(window), m_files(files)
{
    setObjectName(QStringLiteral("ProjectCommands"));
    connect(m_window.changeConfigAction, &QAction::triggered, this,
            [this] { m_window.guarded([this] { changeConfigFile(); }); });
    connect(m_window.generateProjectButton, &QToolButton::clicked, this,
            [this] { m_window.guarded([this] { generateProject(); }); });
}

void ProjectCommands::changeConfigFile()
{
    const std::optional<QString> chosen = m_window.prompter().chooseFile(m_window.configOpenDialog);
    if (!chosen || m_window.prompter().refuseUnrepresentable(nativePath(*chosen)))
        return;
    EditStep step(m_window.history(), QStringLiteral("Change config file"));
    // The tree changed, so the document holds changes that no file has.
    if (ConfigNode::set(m_window.document(), Ansi::fromUnicode(nativePath(*chosen))))
        m_window.Modified = true;
}

void ProjectCommands::generateProject()
{
    ProjectGenerator generator(m_window.prompter(), m_window.programFolder());
    // The document goes into the project with the writer of Save, at the tree control's size.
    generator.run(m_window.document(), m_window.CurrentFileName,
                  [this](const QString &path) { m_files.save(path); });
}
