#include "recent_menu.h"

#include "file_commands.h"
#include "windows/main_window.h"

#include <QAction>
#include <QScopeGuard>
#include <array>

RecentMenu::RecentMenu(TForm1 &form, FileCommands &commands)
    : QObject(&form), m_form(form), m_commands(commands),
      m_list(form.programFolder()), m_entries{form.N4, form.empty1, form.empty2, form.empty3,
                                              form.empty4}
{
    const std::array<void (RecentMenu::*)(), RecentFiles::kSlots> handlers = {
        &RecentMenu::N4Click, &RecentMenu::empty1Click, &RecentMenu::empty2Click,
        &RecentMenu::empty3Click, &RecentMenu::empty4Click};
    for (int slot = 0; slot < RecentFiles::kSlots; ++slot) {
        const auto handler = handlers[size_t(slot)];
        connect(m_entries[slot], &QAction::triggered, this,
                [this, handler] { m_form.guarded([this, handler] { (this->*handler)(); }); });
    }
    showCaptions();
}

QString RecentMenu::displayText(const QString &caption)
{
    QString text = caption;
    return text.replace(u'&', QStringLiteral("&&"));
}

void RecentMenu::ReadRecent()
{
    // The entries show what was read even when reading fails part-way.
    const auto show = qScopeGuard([this] { showCaptions(); });
    m_list.ReadRecent();
}

void RecentMenu::addToRecentMenu(const QString &path)
{
    // The list has changed even when Recent.txt cannot be written.
    const auto show = qScopeGuard([this] { showCaptions(); });
    m_list.addToRecentMenu(path);
}

void RecentMenu::showCaptions()
{
    for (int slot = 0; slot < RecentFiles::kSlots; ++slot) {
        const QString &caption = m_list.captions().at(slot);
        m_entries[slot]->setText(displayText(caption));
        m_entries[slot]->setEnabled(caption != RecentFiles::emptySlot());
    }
}

void RecentMenu::openEntry(int slot)
{
    const QString caption = m_list.captions().at(slot);
    if (caption == RecentFiles::emptySlot())
        return;
    QString path = caption;
    path.remove(u'&');
    m_commands.openDocument(path, {.remember = false});
}
