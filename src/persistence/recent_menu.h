#pragma once

#include "recent_files.h"

#include <QObject>

class FileCommands;
class QAction;
class TForm1;

// The five entries of "Open &Recent" (N4, empty1 to empty4) over the recent-files list. The
// captions show the paths as they are; an entry reading "empty" is disabled.
class RecentMenu : public QObject
{
    Q_OBJECT
public:
    RecentMenu(TForm1 &form, FileCommands &commands);

    RecentFiles &list() { return m_list; }

    // Fills the entries from Recent.txt (start-up).
    void ReadRecent();
    // Puts a path into the list and rewrites Recent.txt (AppError when that fails; the entries
    // show the new list already).
    void addToRecentMenu(const QString &path);

    // The entry handlers: open the file the entry names, "&" characters removed.
    void N4Click() { openEntry(0); }
    void empty1Click() { openEntry(1); }
    void empty2Click() { openEntry(2); }
    void empty3Click() { openEntry(3); }
    void empty4Click() { openEntry(4); }

    // The entry's caption for display: "&" would be taken as a mnemonic marker.
    static QString displayText(const QString &caption);

private:
    void openEntry(int slot);
    void showCaptions();

    TForm1 &m_form;
    FileCommands &m_commands;
    RecentFiles m_list;
    QAction *m_entries[RecentFiles::kSlots];
};
