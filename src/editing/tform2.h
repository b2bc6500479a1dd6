#pragma once

#include <QDialog>

class DialogNode;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTableWidget;
class TForm1;

// The placement window: where a new text dialog or choice dialog goes (at the end, into a
// choice, or before a given dialog number). It has no document of its own and works on the main
// window's tree; the main window's PlaceMode says what is being placed.
class TForm2 : public QDialog
{
    Q_OBJECT
public:
    explicit TForm2(TForm1 &form, QWidget *parent = nullptr);

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

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormCreate();
    void FormShow();
    // addDialog or addChoice, as PlaceMode says; the new dialog or none.
    DialogNode *add(DialogNode *node);

    TForm1 &m_form;
};
