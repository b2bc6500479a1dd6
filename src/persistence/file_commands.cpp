#include "file_commands.h"

#include "app/dialog_tree_view.h"
#include "app/tform1.h"
#include "editing/tform2.h"
#include "persistence/dlg_file.h"
#include "platform/native_path.h"
#include "recent_menu.h"

#include <QAction>
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

void FileCommands::refreshPlacementList()
{
    if (TForm2 *placement = m_form.placementWindow())
        placement->refreshchoices();
}

void FileCommands::New1Click()
{
    if (m_form.Modified && m_form.prompter().confirm(saveQuestion())) {
        if (!nameDocument())
            return;
        save(m_form.CurrentFileName);
    }
    m_form.document().clear();
    m_form.document().addRootNode();
    m_form.setWindowTitle(QStringLiteral("Talmero"));
    m_form.CurrentFileName.clear();
    m_form.Modified = false;
}

void FileCommands::Open1Click()
{
    const std::optional<QString> chosen = m_form.prompter().chooseFile(m_form.OpenDialog1);
    if (!chosen)
        return;
    if (m_form.Modified && !m_form.prompter().confirm(continueQuestion()))
        return;
    load(*chosen);
    m_form.setWindowTitle(titleFor(*chosen));
    m_form.CurrentFileName = *chosen;
    m_form.expandAll();
    refreshPlacementList();
    m_form.Modified = false;
    m_recent->addToRecentMenu(*chosen);
}

bool FileCommands::nameDocument()
{
    if (!m_form.CurrentFileName.isEmpty())
        return true;
    const std::optional<QString> chosen = m_form.prompter().chooseFile(m_form.SaveDialog1);
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
}

void FileCommands::SaveAs1Click()
{
    const std::optional<QString> chosen = m_form.prompter().chooseFile(m_form.SaveDialog1);
    if (!chosen)
        return;
    // The extension is the file name's part from its last dot; only ".dlg" exactly is kept.
    QString name = *chosen;
    const QString fileName = QFileInfo(name).fileName();
    const qsizetype dot = fileName.lastIndexOf(u'.');
    if (dot < 0 || fileName.mid(dot) != u".dlg")
        name += QStringLiteral(".dlg");
    m_form.prompter().keepFileName(m_form.SaveDialog1.name, name);
    m_form.setWindowTitle(titleFor(name));
    m_form.CurrentFileName = name;
    save(name);
    m_recent->addToRecentMenu(name);
    m_form.Modified = false;
}

void FileCommands::SpeedButton5Click()
{
    // The button offers to save unsaved changes; Yes saves as the File menu's Save does.
    if (m_form.Modified && m_form.prompter().confirm(saveQuestion()))
        Save1Click();
}

void FileCommands::ReadRecent()
{
    m_form.guarded([this] { m_recent->ReadRecent(); });
}

void FileCommands::openCommandLineFile(const QStringList &arguments)
{
    if (arguments.isEmpty() || !QFileInfo(arguments.first()).isFile())
        return;
    const QString path = arguments.first();
    m_form.guarded([&] {
        load(path);
        m_form.setWindowTitle(titleFor(path));
        m_form.CurrentFileName = path;
        m_form.expandAll();
        m_form.Modified = false;
        m_recent->addToRecentMenu(path);
    });
}
