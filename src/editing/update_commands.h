#pragma once

#include <QObject>

class TForm1;

// The editing field under the tree: a click copies the clicked node's text into it, or locks it
// for nodes whose text is not edited there, and "Update selected" gives the selected node the
// field's text. Renaming in place is the tree's own label editing; a confirmed rename marks the
// document changed.
class UpdateCommands : public QObject
{
    Q_OBJECT
public:
    explicit UpdateCommands(TForm1 &form);

    void TreeView1Click();
    void SpeedButton13Click();

private:
    TForm1 &m_form;
};
