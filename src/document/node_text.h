#pragma once

#include <QByteArray>

class DialogNode;

// The grammar of node texts and the recognition rules the commands classify nodes by. Every
// test is case-sensitive and looks at the text only.
namespace NodeText {

QByteArray root();
QByteArray config(const QByteArray &path);
QByteArray dialog(int number);
QByteArray typeText();
QByteArray speaker(const QByteArray &who);
QByteArray text(const QByteArray &text);
QByteArray choice(const QByteArray &number);
QByteArray setVariable(const QByteArray &type, const QByteArray &name, const QByteArray &value);
QByteArray call(const QByteArray &call);
QByteArray gotoDialog(int number);
QByteArray deleteChoice(int choice, int dialog);
QByteArray deleteDialog(int dialog);
// A text dialog on one line, as the script and the readings write it: "Dialog3 Entity: Welcome."
// (an empty label writes none). An empty text leaves the line at the colon: "Dialog3 Player:".
QByteArray textDialogLine(const QByteArray &label, const QByteArray &speaker,
                          const QByteArray &text);

// The author's multi-line text on one line: every CR LF pair becomes backslash and "n".
QByteArray joinLines(const QByteArray &text);

// The text equals "Root".
bool isRoot(const QByteArray &text);
// The text begins with "Dialog".
bool isDialog(const QByteArray &text);
// The text equals "Dialog" followed by number in decimal.
bool isDialogNumber(const QByteArray &text, int number);
// The first two characters are "D" and "i": the renumbering pass and the delete command.
// An empty text is not a dialog.
bool isDialogForNumbering(const QByteArray &text);
// The text contains "Choice = " anywhere: the placement list.
bool containsChoice(const QByteArray &text);
// The text begins with "Choice": editing and deleting.
bool isChoice(const QByteArray &text);
// The text begins with "Call", "Set", "Goto" or "Delete".
bool isAction(const QByteArray &text);
// The text begins with "Delete", "Set" or "Call": removed when a file is loaded.
bool isRemovedAtLoad(const QByteArray &text);
// A dialog whose first child's text begins with "Choice". A dialog without children is not.
bool isChoiceDialog(const DialogNode *dialog);

// The rest of the text of node's first child that begins with keyword ("Speaker = ",
// "Text = "); empty when none does.
QByteArray childValue(const DialogNode *node, QByteArrayView keyword);
// The number of a choice node, "3" for "Choice = 3"; any other text as it stands.
QByteArray choiceNumber(const QByteArray &text);

} // namespace NodeText
