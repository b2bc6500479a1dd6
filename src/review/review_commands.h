#pragma once

#include <QObject>

class CheckWindow;
class DialogNode;
class FlowMapWindow;
class MainWindow;
class QAction;
class QWidget;
class ReadThroughWindow;
class ReadingsReplayer;

// The Tools menu's "Check dialog" (F7), "Read through" (F5), "Read from here" (Shift+F5) and
// "Flow map" (F6): each opens its window beside the main window, made on first use and kept
// while the program runs. The saved readings of the document are shared by the read-through and
// the check window.
class ReviewCommands : public QObject
{
    Q_OBJECT
public:
    explicit ReviewCommands(MainWindow &window);
    // The windows that watch the saved readings go before the readings do.
    ~ReviewCommands() override;

    QAction *checkDialogAction;
    QAction *readThroughAction;
    // Reads from the dialog selected in the tree (Shift+F5); in the Tools and tree menus.
    QAction *readFromHereAction;
    QAction *flowMapAction;
    // In the tree's context menu once the flow map exists.
    QAction *showInFlowMapAction;

    CheckWindow *checkWindow();
    ReadThroughWindow *readThroughWindow();
    FlowMapWindow *flowMapWindow();
    ReadingsReplayer &readings() { return *m_readings; }

signals:
    // The flow map window was made, on first use: the program hands it its commands.
    void flowMapWindowMade(FlowMapWindow *window);

private:
    void addReviewActions(QWidget *window);
    // Selects node in the tree; activate brings the main window to the front.
    void showDialogNode(const DialogNode *node, bool activate = true);
    void readFromHere();

    MainWindow &m_window;
    ReadingsReplayer *m_readings;
    CheckWindow *m_check = nullptr;
    ReadThroughWindow *m_readThrough = nullptr;
    FlowMapWindow *m_flowMap = nullptr;
};
