#pragma once

#include <QObject>

class MainWindow;

// The " Search " group: each step selects the next node, in tree order, whose text contains the
// search text (letters a to z compared without case). The walk runs from the top to the end of
// the tree, reports "Reached end of file!" there and starts at the top again with the next step.
class SearchCommands : public QObject
{
    Q_OBJECT
public:
    explicit SearchCommands(MainWindow &window);

    void searchNext();
    void restartSearch();

protected:
    // Enter in the search field runs a step and goes nowhere else.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    MainWindow &m_window;
};
