#pragma once

#include <QByteArray>
#include <QString>

class DialogNode;

// What a dialog says, in the words shown beside it: its speaker, its text with line breaks, its
// first words, and the answers of a choice dialog.
namespace DialogSummary {

QString speaker(const DialogNode *dialog);
// The dialog's text, each backslash-n a line break.
QString text(const DialogNode *dialog);
QString firstLine(const DialogNode *dialog);
// The answer of a choice node.
QString answer(const DialogNode *choice);
// A choice node as a line of its box: "2. No".
QString answerLine(const DialogNode *choice);
// The first words of a text dialog, or the answers of a choice dialog, shortened with an
// ellipsis to about length characters.
QString glance(const DialogNode *dialog, int length);
// text cut to length characters, the last of them an ellipsis when anything was cut.
QString elide(const QString &text, int length);

} // namespace DialogSummary
