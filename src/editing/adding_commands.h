#pragma once

#include "document/dialog_edits.h"

#include <QObject>

class DialogNode;
class TForm1;
class TForm2;

// The " Add dialog " and "Add decision " groups of the main window: adding text dialogs and
// choice dialogs, and the choice table with its buttons; the placing the placement window
// chose. Connects itself to the controls.
class AddingCommands : public QObject
{
    Q_OBJECT
public:
    AddingCommands(TForm1 &form, TForm2 &placement);

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
    // addDialog or addChoice, as PlaceMode says.
    DialogNode *add(DialogNode *node);
    // The addition and its placing, as one step.
    void place(const DialogEdits::Placement &placement);

    TForm1 &m_form;
    TForm2 &m_placement;
    bool m_enterPressedHere = false;
};
