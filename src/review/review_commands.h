#pragma once

#include <QObject>

class CheckWindow;
class DialogNode;
class FlowMapWindow;
class MainWindow;
class QAction;
class QWidget;
class ReadThroughWindow;

// The Tools menu's "Check dialog" (F7), "Read through" (F5) and "Flow map" (F6): each opens its
// window beside the main window, made on first use and kept while the program runs.
class ReviewCommands : public QObject
{
    Q_OBJECT
public:
    explicit ReviewCommands(MainWindow &window);

    QAction *checkDialogAction;
    QAction *readThroughAction;
    QAction *flowMapAction;
    // In the tree's context menu once the flow map exists.
    QAction *showInFlowMapAction;

    CheckWindow *checkWindow();
    ReadThroughWindow *readThroughWindow();
    FlowMapWindow *flowMapWindow();

signals:
    // The flow map window was made, on first use: the program hands it its commands.
    void flowMapWindowMade(FlowMapWindow *window);

private:
    void addReviewActions(QWidget *window);
    // Selects node in the tree; activate brings the main window to the front.
    void showDialogNode(const DialogNode *node, bool activate = true);

    MainWindow &m_window;
    CheckWindow *m_check = nullptr;
    ReadThroughWindow *m_readThrough = nullptr;
    FlowMapWindow *m_flowMap = nullptr;
};
