#pragma once

#include <QObject>

class MainWindow;

// Starts the companion panel tool when the main window's tree is double-clicked.
class CompanionToolCommand : public QObject
{
    Q_OBJECT
public:
    explicit CompanionToolCommand(MainWindow &window);

    void launchCompanionTool();

private:
    MainWindow &m_window;
};
