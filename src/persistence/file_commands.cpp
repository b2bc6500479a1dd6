#include "file_commands.h"

#include "persistence/dlg_file.h"
#include "platform/native_path.h"
#include "recent_menu.h"
#include "windows/dialog_tree_view.h"
#include "windows/main_window.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QToolButton>

FileCommands::FileCommands(TForm1 &form)
    : QObject(&form), m_form(form), m_recent(new RecentMenu(form, *this))
{
    const auto bind = [this](QAction *action, void (FileCommands::*handler)()) {
        connect(action, &QAction::triggered, this,
                [this, handler] { m_form.guarded([this, handler] { (this->*handler)(); }); });
    };
    bind(form.New1, &FileCommands::New1Click);
    bind(form.Open1, &FileCommands::Open1Click);
    bind(form.Save1, &FileCommands::Save1Click);
    bind(form.SaveAs1, &FileCommands::SaveAs1Click);
    connect(form.SpeedButton5, &QToolButton::clicked, this,
            [this] { m_form.guarded([this] { SpeedButton5Click(); }); });
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
    const QSize size = m_form.TreeView1->size();
    DlgFile::save(m_form.document(), fileName, {size.width(), size.height()});
}

void FileCommands::load(const QString &fileName)
{
    DlgFile::load(m_form.document(), fileName);
}

void FileCommands::openDocument(const QString &path, const OpenOptions &options)
{
    if (m_form.Modified &&
        !m_form.prompter().confirmUnsaved(continueQuestion(), Prompter::Answer::No))
        return;
    load(path);
    m_form.setWindowTitle(titleFor(path));
    m_form.CurrentFileName = path;
    emit documentOpened();
    m_form.Modified = false;
    emit changesGone();
    if (options.remember)
        m_recent->addToRecentMenu(path);
}

void FileCommands::New1Click()
{
    if (m_form.Modified &&
        m_form.prompter().confirmUnsaved(saveQuestion(), Prompter::Answer::Yes)) {
        if (!nameDocument())
            return;
        save(m_form.CurrentFileName);
    }
    m_form.document().clear();
    m_form.document().addRootNode();
    m_form.setWindowTitle(QStringLiteral("Talmero"));
    m_form.CurrentFileName.clear();
    m_form.Modified = false;
    emit changesGone();
}

void FileCommands::Open1Click()
{
    if (const std::optional<QString> chosen = m_form.prompter().chooseFile(m_form.OpenDialog1))
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
        const std::optional<QString> chosen = m_form.prompter().chooseFile(m_form.SaveDialog1);
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
            m_form.prompter().keepFileName(m_form.SaveDialog1.name, name);
        }
        // An existing file is replaced only when the author says so; No returns to the dialog.
        if (!QFileInfo::exists(name) ||
            m_form.prompter().confirmUnsaved(replaceQuestion(name), Prompter::Answer::No))
            return name;
    }
}

bool FileCommands::nameDocument()
{
    if (!m_form.CurrentFileName.isEmpty())
        return true;
    const std::optional<QString> chosen = chooseSaveName(false);
    if (!chosen)
        return false;
    m_form.setWindowTitle(titleFor(*chosen));
    m_form.CurrentFileName = *chosen;
    return true;
}

void FileCommands::Save1Click()
{
    if (!nameDocument())
        return;
    save(m_form.CurrentFileName);
    m_recent->addToRecentMenu(m_form.CurrentFileName);
    m_form.Modified = false;
    emit changesGone();
}

void FileCommands::SaveAs1Click()
{
    const std::optional<QString> chosen = chooseSaveName(true);
    if (!chosen)
        return;
    const QString name = *chosen;
    m_form.setWindowTitle(titleFor(name));
    m_form.CurrentFileName = name;
    save(name);
    m_recent->addToRecentMenu(name);
    m_form.Modified = false;
    emit changesGone();
}

void FileCommands::SpeedButton5Click()
{
    // The button offers to save unsaved changes; Yes saves as the File menu's Save does.
    if (m_form.Modified && m_form.prompter().confirmUnsaved(saveQuestion(), Prompter::Answer::Yes))
        Save1Click();
}

void FileCommands::ReadRecent()
{
    m_form.guarded([this] { m_recent->ReadRecent(); });
}

void FileCommands::openCommandLineFile(const QStringList &arguments)
{
    emit aboutToOpenCommandLineFile();
    if (arguments.isEmpty() || !QFileInfo(arguments.first()).isFile())
        return;
    // A relative name would be read against the current folder but shown and remembered as
    // typed, so the title would not name the file and the recent list could hold it twice. Work
    // brought back at start-up is not thrown away without a word.
    const QString path = QFileInfo(arguments.first()).absoluteFilePath();
    m_form.guarded([&] { openDocument(path, {}); });
}
