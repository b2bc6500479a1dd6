#pragma once

#include "recent_files.h"

#include <QObject>

class FileCommands;
class MainWindow;
class QAction;

// The five entries of "Open &Recent" over the recent-files list, newest first. The captions show
// the paths as they are; an entry reading "empty" is disabled.
class RecentMenu : public QObject
{
    Q_OBJECT
public:
    RecentMenu(MainWindow &window, FileCommands &commands);

    RecentFiles &list() { return m_list; }

    // Fills the entries from Recent.txt (start-up).
    void readRecentFiles();
    // Puts a path into the list and rewrites Recent.txt (AppError when that fails; the entries
    // show the new list already).
    void addToRecentMenu(const QString &path);

    // Opens the file that the entry in slot names, "&" characters removed.
    void openEntry(int slot);

    // The entry's caption for display: "&" would be taken as a mnemonic marker.
    static QString displayText(const QString &caption);

private:
    void showCaptions();

    MainWindow &m_window;
    FileCommands &m_commands;
    RecentFiles m_list;
};
