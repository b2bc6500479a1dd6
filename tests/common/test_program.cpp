#include "test_program.h"

#include "document/dialog_tree.h"
#include "document/node_text.h"

#include <QDir>
#include <QFile>

void TestProgram::start(const QStringList &arguments)
{
    ShippedData::installFonts(folder.path());
    app = std::make_unique<TalmeroApp>(ProgramFolder(folder.path()), prompter, shell, arguments,
                                       appData.path());
}

DialogNode *addTextDialog(DialogTree &tree, DialogNode *at, const QByteArray &text,
                          const QByteArray &speaker)
{
    tree.setDialogCount(tree.DialogCount() + 1);
    DialogNode *dialog = tree.addSibling(at, NodeText::dialog(tree.DialogCount()));
    tree.setImageIndex(dialog, 1);
    tree.addChild(dialog, NodeText::typeText());
    tree.addChild(dialog, NodeText::speaker(speaker));
    tree.addChild(dialog, NodeText::text(text));
    return dialog;
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
