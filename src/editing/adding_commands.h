#pragma once

#include "document/dialog_edits.h"

#include <QObject>

class DialogNode;
class MainWindow;
class PlacementWindow;

// The " Add dialog " and "Add decision " groups of the main window: adding text dialogs and
// choice dialogs, and the choice table with its buttons; the placing the placement window
// chose. Connects itself to the controls.
class AddingCommands : public QObject
{
    Q_OBJECT
public:
    AddingCommands(MainWindow &window, PlacementWindow &placement);

    // Adds a text dialog built from the " Add dialog " controls: at the end of the top level for
    // node none, otherwise as the last child of node's parent. Returns the new dialog.
    DialogNode *addDialog(DialogNode *node);
    // Adds a choice dialog built from the choice table, node as for addDialog. Returns the new
    // dialog, or none when the table is empty (the author is told).
    DialogNode *addChoice(DialogNode *node);

    // The add-dialog and add-decision commands.
    void addOrPlaceDialog();
    void addOrPlaceDecision();
    // The answer table: add a row, add a row by the Enter key in the answer field, remove the
    // selected row, clear.
    void addAnswer();
    void addAnswerOnEnter(int key);
    void removeSelectedAnswer();
    void clearAnswers();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // What the add commands share before they add or show the placement window.
    void preparePlacement(const QString &mode);
    // addDialog or addChoice, as PlaceMode says.
    DialogNode *add(DialogNode *node);
    // The addition and its placing, as one step.
    void place(const DialogEdits::Placement &placement);

    MainWindow &m_window;
    PlacementWindow &m_placement;
    bool m_enterPressedHere = false;
};
