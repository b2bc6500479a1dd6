#pragma once

#include <QObject>

class MainWindow;

// The editing field under the tree: a click copies the clicked node's text into it, or locks it
// for nodes whose text is not edited there, and "Update selected" gives the selected node the
// field's text. Renaming in place is the tree's own label editing; a confirmed rename marks the
// document changed.
class UpdateCommands : public QObject
{
    Q_OBJECT
public:
    explicit UpdateCommands(MainWindow &window);

    void showSelectedNode();
    void updateSelectedNode();

private:
    MainWindow &m_window;
};
