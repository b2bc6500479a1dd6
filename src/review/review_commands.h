#pragma once

#include <QObject>

class CheckWindow;
class DialogNode;
class QAction;
class ReadThroughWindow;
class TForm1;

// The Tools menu's "Check dialog" (F7) and "Read through" (F5): each opens its window beside the
// main window, made on first use and kept while the program runs.
class ReviewCommands : public QObject
{
    Q_OBJECT
public:
    explicit ReviewCommands(TForm1 &form);

    QAction *CheckDialog1;
    QAction *ReadThrough1;

    CheckWindow *checkWindow();
    ReadThroughWindow *readThroughWindow();

private:
    void showDialogNode(const DialogNode *node);

    TForm1 &m_form;
    CheckWindow *m_check = nullptr;
    ReadThroughWindow *m_readThrough = nullptr;
};
