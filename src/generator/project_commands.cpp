#include "project_commands.h"

#include "generator/config_node.h"
#include "generator/project_generator.h"
#include "persistence/file_commands.h"
#include "platform/ansi.h"
#include "platform/native_path.h"
#include "windows/main_window.h"
#include "windows/undo_history.h"

#include <QAction>
#include <QToolButton>

ProjectCommands::ProjectCommands(TForm1 &form, FileCommands &files)
    : QObject(&form), m_form(form), m_files(files)
{
    setObjectName(QStringLiteral("ProjectCommands"));
    connect(m_form.Edit4, &QAction::triggered, this,
            [this] { m_form.guarded([this] { Edit4Click(); }); });
    connect(m_form.SpeedButton6, &QToolButton::clicked, this,
            [this] { m_form.guarded([this] { SpeedButton6Click(); }); });
}

void ProjectCommands::Edit4Click()
{
    const std::optional<QString> chosen = m_form.prompter().chooseFile(m_form.OpenDialog2);
    if (!chosen)
        return;
    EditStep step(m_form.history(), QStringLiteral("Change config file"));
    // The tree changed, so the document holds changes that no file has.
    if (ConfigNode::set(m_form.document(), Ansi::fromUnicode(nativePath(*chosen))))
        m_form.Modified = true;
}

void ProjectCommands::SpeedButton6Click()
{
    ProjectGenerator generator(m_form.prompter(), m_form.programFolder());
    // The document goes into the project with the writer of Save, at the tree control's size.
    generator.run(m_form.document(), m_form.CurrentFileName,
                  [this](const QString &path) { m_files.save(path); });
}
