#include "companion_tool_command.h"

#include "shell/companion_tool.h"
#include "windows/dialog_tree_view.h"
#include "windows/main_window.h"

CompanionToolCommand::CompanionToolCommand(MainWindow &window) : QObject(&window), m_window(window)
{
    connect(m_window.treeView, &DialogTreeView::doubleClickedAnywhere, this,
            &CompanionToolCommand::launchCompanionTool);
}

void CompanionToolCommand::launchCompanionTool()
{
    CompanionTool::launch(m_window.selectedNode(), m_window.programFolder(), m_window.shell());
}
