#include "project_commands.h"

#include "app/tform1.h"
#include "generator/config_node.h"
#include "platform/ansi.h"

#include <QAction>

ProjectCommands::ProjectCommands(TForm1 &form) : QObject(&form), m_form(form)
{
    setObjectName(QStringLiteral("ProjectCommands"));
    connect(m_form.Edit4, &QAction::triggered, this,
            [this] { m_form.guarded([this] { Edit4Click(); }); });
}

void ProjectCommands::Edit4Click()
{
    const std::optional<QString> chosen = m_form.prompter().chooseFile(m_form.OpenDialog2);
    if (!chosen)
        return;
    // The tree changed, so the document holds changes that no file has.
    if (ConfigNode::set(m_form.document(), Ansi::fromUnicode(*chosen)))
        m_form.Modified = true;
}
