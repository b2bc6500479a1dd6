#include "recent_menu.h"

#include "file_commands.h"
#include "windows/main_window.h"

#include <QAction>
#include <QScopeGuard>
#include <array>

RecentMenu::RecentMenu(MainWindow &window, FileCommands &commands)
    : QObject(&window), m_window(window), m_commands(commands), m_list(window.programFolder())
{
    static_assert(std::tuple_size_v<decltype(window.recentFileActions)> == RecentFiles::kSlots);
    for (int slot = 0; slot < RecentFiles::kSlots; ++slot) {
        connect(window.recentFileActions[size_t(slot)], &QAction::triggered, this,
                [this, slot] { m_window.guarded([this, slot] { openEntry(slot); }); });
    }
    showCaptions();
}

QString RecentMenu::displayText(const QString &caption)
{
    QString text = caption;
    return text.replace(u'&', QStringLiteral("&&"));
}

void RecentMenu::readRecentFiles()
{
    // The entries show what was read even when reading fails part-way.
    const auto show = qScopeGuard([this] { showCaptions(); });
    m_list.read();
}

void RecentMenu::addToRecentMenu(const QString &path)
{
    // The list has changed even when Recent.txt cannot be written.
    const auto show = qScopeGuard([this] { showCaptions(); });
    m_list.add(path);
}

void RecentMenu::showCaptions()
{
    for (int slot = 0; slot < RecentFiles::kSlots; ++slot) {
        const QString &caption = m_list.captions().at(slot);
        m_window.recentFileActions[size_t(slot)]->setText(displayText(caption));
        m_window.recentFileActions[size_t(slot)]->setEnabled(caption != RecentFiles::emptySlot());
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
