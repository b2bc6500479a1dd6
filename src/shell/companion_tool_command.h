#pragma once

#include <QObject>

class TForm1;

// Starts the companion panel tool when the main window's tree is double-clicked.
class CompanionToolCommand : public QObject
{
    Q_OBJECT
public:
    explicit CompanionToolCommand(TForm1 &form);

    void TreeView1DblClick();

private:
    TForm1 &m_form;
};
