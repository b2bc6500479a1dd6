#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

class DialogNode;
class ReadThrough;

// A reading written as lines, the form talmero-cli play prints and saved readings keep:
//   Dialog3 Entity: Welcome.             a text dialog, as its script line
//     Set Short gold = 5 -> gold = 5     each action in its stored form, with what it did
//   Dialog2 choice                       a choice dialog,
//     1. A friend                        the answers it offers,
//   > 1                                  and the one taken, by choice number
//   End: the conversation has ended      or "End: Dialog2 waits for an answer", or
//                                        "Stopped: " and why
// A byte below 32 inside a text is written as \xHH, so that every line stays one line.
namespace ReadingLines {

struct Lines
{
    QStringList text;
    std::vector<const DialogNode *> dialogs; // the dialog read when each line was written
};

// The transcript of reader, its last line the end or the stop.
Lines lines(const ReadThrough &reader);
// "Dialog3 Entity: Welcome.": a text dialog's line.
QString scriptLine(const QByteArray &label, const QByteArray &speaker, const QByteArray &text);
// What a dialog shows, without its label: "Entity: Welcome." for a text dialog,
// "choice: 1. Yes / 2. No" for a choice dialog. Two dialogs that show the same are told apart
// by their numbers only.
QString fingerprint(const DialogNode *dialog);
// line without what a renumbering changes: the labels of dialogs and the dialog numbers in goto
// and delete actions. Two readings agree when their lines agree in this form.
QString comparable(const QString &line);

} // namespace ReadingLines
