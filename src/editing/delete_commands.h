#pragma once

#include <QObject>

class MainWindow;

// Deleting the selected node ("Delete selected" and the Delete key in the tree). Whatever is
// removed, the dialogs are renumbered by position afterwards.
class DeleteCommands : public QObject
{
    Q_OBJECT
public:
    explicit DeleteCommands(MainWindow &window);

    // The one delete command behind the button and the key.
    void deleteSelected();

private:
    MainWindow &m_window;
};
