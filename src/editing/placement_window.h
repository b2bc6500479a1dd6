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
class TForm2 : public QDialog
{
    Q_OBJECT
public:
    TForm2(DialogTree &tree, Prompter &prompter, QWidget *parent = nullptr);

    // Empties the placement list and fills it with the choice nodes of the tree, in pre-order.
    void refreshchoices();
    // The renumbering pass of the tree.
    void refreshlist();
    // The absolute index of the last node whose text is "Dialog" + number; -1 when none is.
    int dlgnumber(int number) const;
    // The last node of the top level; none for an empty tree.
    DialogNode *lastlvl0node() const;

    // The add and cancel commands.
    void Button1Click();
    void Button2Click();

    QRadioButton *RadioButton1;
    QRadioButton *RadioButton2;
    QTableWidget *ListView1;
    QRadioButton *RadioButton3;
    QSpinBox *SpinEdit1;
    QPushButton *Button1;
    QPushButton *Button2;

signals:
    // Add was pressed with a placing that can be carried out.
    void placementChosen(const DialogEdits::Placement &placement);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormCreate();
    void FormShow();

    DialogTree &m_tree;
    Prompter &m_prompter;
};
