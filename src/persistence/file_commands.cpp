#include "file_commands.h"

#include "persistence/dlg_file.h"
#include "platform/app_error.h"
#include "platform/bounded_file.h"
#include "platform/native_path.h"
#include "platform/output_target.h"
#include "recent_menu.h"
#include "windows/dialog_tree_view.h"
#include "windows/main_window.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QToolButton>

namespace {

// A node block's length is a 32-bit number: no .dlg file is larger.
constexpr qint64 kLargestDocument = qint64(1) << 32;

} // namespace

FileCommands::FileCommands(MainWindow &window)
    : QObject(&window), m_window(window), m_recent(new RecentMenu(window, *this))
{
    const auto bind = [this](QAction *action, void (FileCommands::*handler)()) {
        connect(action, &QAction::triggered, this,
                [this, handler] { m_window.guarded([this, handler] { (this->*handler)(); }); });
    };
    bind(window.newAction, &FileCommands::newDocument);
    bind(window.openAction, &FileCommands::openChosenFile);
    bind(window.saveAction, &FileCommands::saveDocument);
    bind(window.saveAsAction, &FileCommands::saveDocumentAs);
    connect(window.saveChangesButton, &QToolButton::clicked, this,
            [this] { m_window.guarded([this] { offerToSave(); }); });
}

FileCommands::~FileCommands() = default;

QString FileCommands::titleFor(const QString &path)
{
    return QStringLiteral("Talmero [") + nativePath(path) + u']';
}

QString FileCommands::saveQuestion()
{
    return QStringLiteral("Dialog has been changed!\n\rDo you want to save your dialog file?");
}

QString FileCommands::continueQuestion()
{
    return QStringLiteral("Dialog has been changed!\n\rDo you want to continue without saving?");
}

void FileCommands::save(const QString &fileName)
{
    const QSize size = m_window.treeView->size();
    DlgFile::save(m_window.document(), fileName, {size.width(), size.height()});
}

void FileCommands::load(const QString &fileName)
{
    // A FIFO would hold the editor until something writes to it, a device would never end.
    const BoundedFile::Result file = BoundedFile::probeRegular(fileName, kLargestDocument);
    if (!file.ok())
        throw AppError::cannotOpen(QFileInfo(fileName).absoluteFilePath(), file.reason);
    DlgFile::read(m_window.document(), fileName);
    if (m_window.enableActionsAction->isChecked())
        return;
    const int removed = DlgFile::removeActionsOnLoad(m_window.document());
    if (removed == 0)
        return;
    // Said once the opened tree is on screen.
    m_window.tellLater(removedActionsText(removed));
}

QString FileCommands::removedActionsText(int count)
{
    return QStringLiteral("This file holds %1 variable operations, function calls or delete "
                          "actions. They were removed when it was opened; saving it will remove "
                          "them from the file. Options > \"Enable actions\" keeps them.")
        .arg(count);
}

void FileCommands::openDocument(const QString &path, const OpenOptions &options)
{
    if (m_window.Modified && !options.changesGiven &&
        !m_window.prompter().confirmUnsaved(continueQuestion(), Prompter::Answer::No))
        return;
    load(path);
    m_window.setWindowTitle(titleFor(path));
    m_window.CurrentFileName = path;
    emit documentOpened();
    m_window.Modified = false;
    emit changesGone();
    if (options.remember)
        m_recent->addToRecentMenu(path);
}

void FileCommands::newDocument()
{
    if (m_window.Modified &&
        m_window.prompter().confirmUnsaved(saveQuestion(), Prompter::Answer::Yes)) {
        if (!nameDocument())
            return;
        saveToFile(m_window.CurrentFileName);
    }
    m_window.document().clear();
    m_window.document().addRootNode();
    m_window.setWindowTitle(QStringLiteral("Talmero"));
    m_window.CurrentFileName.clear();
    m_window.Modified = false;
    emit changesGone();
}

void FileCommands::openChosenFile()
{
    if (const std::optional<QString> chosen =
            m_window.prompter().chooseFile(m_window.documentOpenDialog))
        openDocument(*chosen, {});
}

QString FileCommands::replaceQuestion(const QString &path)
{
    return QDir::toNativeSeparators(path) +
           QStringLiteral(" already exists.\nDo you want to replace it?");
}

std::optional<QString> FileCommands::chooseSaveName(bool dlgExtension)
{
    for (;;) {
        const std::optional<QString> chosen =
            m_window.prompter().chooseFile(m_window.documentSaveDialog);
        if (!chosen)
            return std::nullopt;
        QString name = *chosen;
        if (dlgExtension) {
            // The extension is the file name's part from its last dot; only ".dlg" exactly is
            // kept.
            const QString fileName = QFileInfo(name).fileName();
            const qsizetype dot = fileName.lastIndexOf(u'.');
            if (dot < 0 || fileName.mid(dot) != u".dlg")
                name += QStringLiteral(".dlg");
            m_window.prompter().keepFileName(m_window.documentSaveDialog.name, name);
        }
        // An existing file is replaced only when the author says so; No returns to the dialog.
        if (!QFileInfo::exists(name) ||
            m_window.prompter().confirmUnsaved(replaceQuestion(name), Prompter::Answer::No))
            return name;
    }
}

bool FileCommands::nameDocument()
{
    if (!m_window.CurrentFileName.isEmpty())
        return true;
    const std::optional<QString> chosen = chooseSaveName(false);
    if (!chosen)
        return false;
    m_window.setWindowTitle(titleFor(*chosen));
    m_window.CurrentFileName = *chosen;
    return true;
}

void FileCommands::saveDocument()
{
    if (!nameDocument())
        return;
    saveToFile(m_window.CurrentFileName);
    m_recent->addToRecentMenu(m_window.CurrentFileName);
    m_window.Modified = false;
    emit changesGone();
}

void FileCommands::saveToFile(const QString &fileName)
{
    try {
        save(fileName);
    } catch (const AppError &error) {
        const QString note = m_saveFailureNote ? m_saveFailureNote() : QString();
        if (note.isEmpty())
            throw;
        throw AppError(AppError::boxText(error.text()) + u'\n' + note);
    }
}

void FileCommands::saveDocumentAs()
{
    const std::optional<QString> chosen = chooseSaveName(true);
    if (!chosen)
        return;
    const QString name = *chosen;
    m_window.setWindowTitle(titleFor(name));
    m_window.CurrentFileName = name;
    saveToFile(name);
    m_recent->addToRecentMenu(name);
    m_window.Modified = false;
    emit changesGone();
}

void FileCommands::offerToSave()
{
    // The button offers to save unsaved changes; Yes saves as the File menu's Save does.
    if (m_window.Modified &&
        m_window.prompter().confirmUnsaved(saveQuestion(), Prompter::Answer::Yes))
        saveDocument();
}

void FileCommands::readRecentFiles()
{
    m_window.guarded([this] { m_recent->readRecentFiles(); });
}

QString FileCommands::keepRestoredQuestion(const QString &restoredName, const QString &path)
{
    const QString restored =
        restoredName.isEmpty() ? QStringLiteral("Untitled") : nativePath(restoredName);
    return QStringLiteral("The unsaved changes of \"%1\" were restored. Keep them and leave \"%2\" "
                          "unopened?\nNo opens \"%2\", and the restored changes are lost.")
        .arg(restored, nativePath(path));
}

void FileCommands::openCommandLineFile(const QStringList &arguments, bool restored)
{
    if (arguments.isEmpty() || !QFileInfo(arguments.first()).isFile())
        return;
    // A relative name would be read against the current folder but shown and remembered as
    // typed, so the title would not name the file and the recent list could hold it twice.
    const QString path = QFileInfo(arguments.first()).absoluteFilePath();
    // The restored document is that file, with the changes: opening it again would undo them.
    if (restored && OutputTarget::sameFile(path, m_window.CurrentFileName))
        return;
    // Yes keeps the work, as Enter does: starting on must never throw it away.
    if (restored &&
        m_window.prompter().confirmUnsaved(keepRestoredQuestion(m_window.CurrentFileName, path),
                                           Prompter::Answer::Yes))
        return;
    m_window.guarded([&] { openDocument(path, {true, restored}); });
}
