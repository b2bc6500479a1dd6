#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The "Find and Replace" window: the text to find and its replacement, the two options, the
// four buttons and a line that tells what the last command did. It stays open beside the main
// window while the author goes on working; Escape or Close hides it. The commands behind the
// buttons are the handler's.
class FindReplaceWindow : public QDialog
{
    Q_OBJECT
public:
    explicit FindReplaceWindow(QWidget *parent = nullptr);

    // Puts the focus into the find field with its text selected, ready to be typed over.
    void focusFindField();
    void showStatus(const QString &text);

    QLineEdit *findField;
    QLineEdit *replaceField;
    QCheckBox *matchCaseCheck;
    QCheckBox *wholeWordsCheck;
    QPushButton *findNextButton;
    QPushButton *replaceButton;
    QPushButton *replaceAllButton;
    QPushButton *closeButton;
    QLabel *statusLabel;
};
