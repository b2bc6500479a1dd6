#pragma once

#include <QObject>

class DialogNode;
class TForm1;

// Deleting the selected node ("Delete selected" and the Delete key in the tree) and moving
// dialogs by dragging them onto other dialogs. Whatever is removed or moved, the dialogs are
// renumbered by position afterwards.
class DeleteCommands : public QObject
{
    Q_OBJECT
public:
    explicit DeleteCommands(TForm1 &form);

    // The one delete command behind the button and the key.
    void SpeedButton14Click();
    // A drag from the tree dropped on target (none over empty space).
    void TreeView1DragDrop(DialogNode *target);

private:
    TForm1 &m_form;
};
