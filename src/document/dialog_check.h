#pragma once

#include "action_reference.h"

#include <QByteArray>
#include <QString>
#include <vector>

class DialogNode;
class DialogNumbers;
class DialogTree;

// One thing the check found: the node, the dialog that holds it ("Dialog" + number, or "Root"
// for nodes outside every dialog), the node's text and what is wrong with it.
struct CheckFinding
{
    const DialogNode *node = nullptr;
    QByteArray dialog;
    QByteArray nodeText;
    QString message;
    // The word a spelling finding is about; empty for the others.
    QString word;

    // "Dialog3: Goto = 9: names Dialog9, which does not exist".
    QString line() const;
};

// Looks for what an author cannot see in the tree but the game would trip over: actions that
// name missing dialogs or choices, a goto to its own dialog, texts too long to be saved whole,
// nodes out of the grammar, empty dialogs and a missing configuration file; then what no
// reading reaches (ReadingReach). One pass over the tree and a few over its dialogs, no
// recursion.
namespace DialogCheck {

std::vector<CheckFinding> check(const DialogTree &tree);

// The grammar for one node, in the check's words ("a speaker is Player or Entity"): what is
// wrong when text stands at row among the children of a node of parentText (none: on the top
// level) whose first child's text is parentFirstChild (none: no children; a dialog whose first
// child begins with "Choice" is a choice dialog). Empty when it fits there, and under a node
// of no known kind, which lets anything stand under it.
QString misfit(const QByteArray *parentText, const QByteArray *parentFirstChild, int row,
               const QByteArray &text);
// As misfit, at row among the children of a node of the tree (none: the top level).
QString misfit(const DialogNode *parent, int row, const QByteArray &text);
// What a node of text with that many children (the first of them firstChild) lacks to be
// whole: a dialog its children, a text dialog its speaker or text, an answer its text. Empty
// when it lacks nothing.
QString missing(const QByteArray &text, const QByteArray *firstChild, int children);

// A finding on node, labelled with the dialog that holds it.
CheckFinding finding(const DialogNode *node, const QString &message);
// What is wrong with the reference of an action held by dialog; empty when it names a dialog
// (and choice) that exists and is not a goto to its own dialog. A reference of kind None, from a
// goto or delete node that does not parse, is out of the grammar.
QString referenceProblem(const DialogNumbers &numbers, const DialogNode *dialog,
                         const ActionReference &reference);

} // namespace DialogCheck
