#include "test_program.h"

#include "platform/user_settings.h"
#include "windows/dialog_tree_model.h"
#include "windows/dialog_tree_view.h"

#include <QDir>
#include <QFile>

void TestProgram::start(const QStringList &arguments)
{
    ShippedData::installFonts(folder.path());
    // The user's settings of this run stay in its own folder.
    UserSettings::setFolder(appData.path());
    app = std::make_unique<TalmeroApp>(ProgramFolder(folder.path()), prompter, shell, arguments,
                                       appData.path(), olderRecoveryFolders);
}

bool shownOpen(const DialogTreeView &view, const DialogNode *node)
{
    const DialogTreeModel *model = view.dialogModel();
    const QRect own = view.visualRect(model->indexOf(node));
    // A deep node's indentation can reach past the right edge, which leaves its rectangle with
    // no width; its height still says it has a row.
    if (own.height() <= 0)
        return false;
    for (int row = 0; row < node->childCount(); ++row) {
        const DialogNode *child = node->child(row);
        const QRect shown = view.visualRect(model->indexOf(child));
        const int rowsBelow = child->absoluteIndex() - node->absoluteIndex();
        if (shown.height() <= 0 || shown.top() != own.top() + rowsBelow * own.height() ||
            shown.left() != own.left() + view.indentation())
            return false;
    }
    return true;
}

namespace ShippedData {

void installFonts(const QString &programFolder)
{
    const QDir shipped(QStringLiteral(TALMERO_SOURCE_DIR "/data/Fonts"));
    QDir folder(programFolder);
    folder.mkpath(QStringLiteral("Fonts"));
    for (const QString &name : shipped.entryList(QDir::Files))
        QFile::copy(shipped.filePath(name), folder.filePath(QStringLiteral("Fonts/") + name));
}

} // namespace ShippedData
