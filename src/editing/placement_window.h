#pragma once

#include "document/dialog_edits.h"

#include <QDialog>

class DialogNode;
class DialogTree;
class Prompter;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTableWidget;

// The placement window: where a new text dialog or choice dialog goes (at the end, into a
// choice, or before a given dialog number). It has no document of its own and works on the main
// window's tree; Add hands the chosen placing to whoever adds, after checking it.
class PlacementWindow : public QDialog
{
    Q_OBJECT
public:
    PlacementWindow(DialogTree &tree, Prompter &prompter, QWidget *parent = nullptr);

    // Empties the placement list and fills it with the choice nodes of the tree, in pre-order.
    void fillChoiceList();
    // The renumbering pass of the tree.
    void renumberDialogs();
    // The absolute index of the last node whose text is "Dialog" + number; -1 when none is.
    int indexOfDialog(int number) const;
    // The last node of the top level; none for an empty tree.
    DialogNode *lastTopLevelNode() const;

    // The add and cancel commands.
    void confirmPlacement();
    void cancel();

    QRadioButton *atEndRadio;
    QRadioButton *intoChoiceRadio;
    QTableWidget *choiceList;
    QRadioButton *beforeDialogRadio;
    QSpinBox *dialogNumberField;
    QPushButton *addButton;
    QPushButton *cancelButton;

signals:
    // Add was pressed with a placing that can be carried out.
    void placementChosen(const DialogEdits::Placement &placement);

protected:
    void showEvent(QShowEvent *event) override;

private:
    DialogTree &m_tree;
    Prompter &m_prompter;
};
