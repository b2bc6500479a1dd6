#pragma once

#include <QObject>

class CheckWindow;
class DialogNode;
class MainWindow;
class QAction;
class ReadThroughWindow;

// The Tools menu's "Check dialog" (F7) and "Read through" (F5): each opens its window beside the
// main window, made on first use and kept while the program runs.
class ReviewCommands : public QObject
{
    Q_OBJECT
public:
    explicit ReviewCommands(MainWindow &window);

    QAction *checkDialogAction;
    QAction *readThroughAction;

    CheckWindow *checkWindow();
    ReadThroughWindow *readThroughWindow();

private:
    void showDialogNode(const DialogNode *node);

    MainWindow &m_window;
    CheckWindow *m_check = nullptr;
    ReadThroughWindow *m_readThrough = nullptr;
};
