#pragma once

#include <QObject>

class DialogNode;
class TForm1;

// The " Add dialog " and "Add decision " groups of the main window: adding text dialogs and
// choice dialogs, and the choice table with its buttons. Connects itself to the controls.
class AddingCommands : public QObject
{
    Q_OBJECT
public:
    explicit AddingCommands(TForm1 &form);

    // Adds a text dialog built from the " Add dialog " controls: at the end of the top level for
    // node none, otherwise as the last child of node's parent. Returns the new dialog.
    DialogNode *addDialog(DialogNode *node);
    // Adds a choice dialog built from the choice table, node as for addDialog. Returns the new
    // dialog, or none when the table is empty (the author is told).
    DialogNode *addChoice(DialogNode *node);

    // The add-dialog and add-decision commands.
    void SpeedButton7Click();
    void SpeedButton11Click();
    // The choice table: add row, add row by the Enter key in Edit5, remove row, clear.
    void SpeedButton8Click();
    void Edit5KeyUp(int key);
    void SpeedButton9Click();
    void SpeedButton10Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // What the add commands share before they add or show the placement window.
    void preparePlacement(const QString &mode);

    TForm1 &m_form;
    bool m_enterPressedHere = false;
};
