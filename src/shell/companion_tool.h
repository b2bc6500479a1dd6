#pragma once

class DialogNode;
class ProgramFolder;
class ShellServices;

// The companion panel tool, Brisvane.exe beside this program, started on the configuration
// file that a node names after its first nine characters ("Config = ").
namespace CompanionTool {

// Starts the tool with the node's path as its one argument; does nothing, and reports nothing,
// without a node, when the path names no existing file or when the tool is missing.
void launch(const DialogNode *node, const ProgramFolder &folder, ShellServices &shell);

} // namespace CompanionTool
