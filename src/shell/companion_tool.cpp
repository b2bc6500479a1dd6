#include "companion_tool.h"

#include "document/dialog_node.h"
#include "platform/ansi.h"
#include "platform/program_folder.h"
#include "platform/shell_services.h"

#include <QFileInfo>

namespace {

bool isFile(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
}

} // namespace

void CompanionTool::launch(const DialogNode *node, const ProgramFolder &folder,
                           ShellServices &shell)
{
    if (!node)
        return;
    const QString path = Ansi::toUnicode(node->text().mid(9));
    if (path.isEmpty() || !isFile(path))
        return;
    const QString tool = folder.shippedFile(QStringLiteral("Brisvane.exe"));
    if (!isFile(tool))
        return;
    // The path is the one argument; the shell quotes it as the platform needs.
    shell.start(tool, path);
}
