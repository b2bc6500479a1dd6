#include "companion_tool_command.h"

#include "shell/companion_tool.h"
#include "windows/dialog_tree_view.h"
#include "windows/main_window.h"

CompanionToolCommand::CompanionToolCommand(TForm1 &form) : QObject(&form), m_form(form)
{
    connect(m_form.TreeView1, &DialogTreeView::doubleClickedAnywhere, this,
            &CompanionToolCommand::TreeView1DblClick);
}

void CompanionToolCommand::TreeView1DblClick()
{
    CompanionTool::launch(m_form.selectedNode(), m_form.programFolder(), m_form.shell());
}
