#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>
#include <vector>

class DialogNode;
class DialogTree;

// The rules of editing a dialog tree, as operations on texts, numbers and nodes. The windows
// gather the values from their controls, ask the questions these operations name, and show the
// refusals they return; a refusal leaves the tree as it was.
class DialogEdits
{
public:
    explicit DialogEdits(DialogTree &tree) : m_tree(tree) {}

    // What an operation did: the node it made or found, or the text the author is told instead.
    // Neither: the operation had nothing to do.
    struct Outcome
    {
        DialogNode *node = nullptr;
        QString refusal;
    };

    enum class Speaker { Player, Entity };
    struct Answer
    {
        QByteArray choice;
        QByteArray text;
    };

    // Where a new dialog goes: at the end of the top level, as the last child of an answer's
    // parent (into a choice), or before the dialog with a number.
    struct Placement
    {
        enum Kind { AtEnd, IntoChoice, BeforeDialog } kind = AtEnd;
        DialogNode *answer = nullptr;
        int number = 0;
    };
    // Adds a dialog beside node (none: at the end); returns it, or none when refused.
    using Creator = std::function<DialogNode *(DialogNode *node)>;

    // A text dialog with its type, speaker and text nodes, after node's last sibling (none: at
    // the end of the top level). line is the author's text with the lines already joined.
    DialogNode *addTextDialog(DialogNode *node, const QByteArray &line, Speaker speaker);
    // A choice dialog with a choice node and its answer for each row of the table; refused for
    // an empty table.
    Outcome addChoiceDialog(DialogNode *node, const QList<Answer> &answers);
    // The same right after dialog at its level, renumbering the dialogs after it; a choice
    // dialog's table may be empty of texts but not of rows. Refused where the new dialog would
    // nest deeper than a file holds.
    Outcome addTextDialogAfter(DialogNode *dialog, const QByteArray &line, Speaker speaker);
    Outcome addChoiceDialogAfter(DialogNode *dialog, const QList<Answer> &answers);
    // A new last answer of a choice dialog, numbered one more than its highest answer; refused
    // for any other node.
    Outcome addAnswer(DialogNode *choiceDialog, const QByteArray &text);
    // Refused while the tree holds no dialog a decision could follow.
    QString decisionRefusal() const;
    // Adds through create and puts the new dialog where placement says, renumbering after a
    // placing; none when create refused. height: how many levels the new dialog's nodes reach
    // below it (1 for a text dialog, 2 for a choice dialog); a placement that would nest them
    // deeper than a file holds is refused.
    Outcome addPlaced(const Placement &placement, int height, const Creator &create);
    // The absolute index of the last node whose text is "Dialog" + number; -1 when none is.
    int indexOfDialog(int number) const;

    // What the delete command does with node: the question it asks first (none: no question),
    // then either the refusal it shows or the node it removes.
    struct Deletion
    {
        QString question;
        QString refusal;
        DialogNode *target = nullptr;
        // The step's name, naming what goes.
        QString name;
    };
    Deletion planDeletion(DialogNode *node) const;
    // The enclosing dialog of a node that has a parent: the nearest ancestor whose text begins
    // with "Dialog", or the top-level ancestor when there is none.
    static DialogNode *enclosingDialog(DialogNode *node);
    // Removes the deletion's target; a dialog's removal renumbers the rest.
    void remove(const Deletion &deletion);
    // The goto and delete actions outside node's subtree that name a dialog inside it.
    std::vector<DialogNode *> actionsNamingDialogsIn(const DialogNode *node) const;
    // Asked before such actions lose their dialog: "2 actions name the dialogs that will be
    // deleted (Dialog6: Goto = 2, ...). Delete anyway? They will name no dialog."
    static QString namedDialogsQuestion(const std::vector<DialogNode *> &actions);
    // Makes each action name no dialog: its dialog number becomes 0, which no dialog carries, so
    // no renumbering ever points it at another dialog.
    void unname(const std::vector<DialogNode *> &actions);

    // Moves the dragged dialog before the target dialog and renumbers; nothing when either is no
    // dialog. A drop into the dragged dialog's own subtree renumbers without moving. Refused
    // when the branch would stand deeper than a file holds.
    Outcome moveDialog(DialogNode *dragged, DialogNode *target);

    // Swaps dialog, with its branch, with the dialog before it (up) or after it at its level and
    // renumbers; false when there is no such dialog.
    bool moveAmongDialogs(DialogNode *dialog, bool up);

    // Replaces node's text with the text of the edit field. A node that fits where it stands
    // (see DialogCheck::misfit) is refused a text that would not, in the check's words.
    QString updateText(DialogNode *node, const QByteArray &text);
    // The tree's own label editing: any node takes any text. False when the text is the same.
    bool rename(DialogNode *node, const QByteArray &text);

    // Empty when a branch reaching height levels below its first node (0: a node alone) may
    // stand at level; otherwise the refusal: no edit nests the tree deeper than a file holds.
    static QString depthRefusal(int level, int height);
    // How many levels node's subtree reaches below node.
    int heightOf(const DialogNode *node) const;

    // The four actions on the selected dialog. addVariable's type is one of the type box's.
    Outcome addVariable(DialogNode *selected, const QByteArray &type, const QByteArray &name,
                        const QByteArray &value);
    Outcome addCall(DialogNode *selected, const QByteArray &call);
    Outcome addGoto(DialogNode *selected, int number);
    // What refuses adding these action texts to dialog, as the four action commands refuse:
    // no dialog selected, a choice dialog, or a second goto; empty when they may be added.
    QString actionsRefusal(DialogNode *dialog, const QList<QByteArray> &actions) const;
    // The goto a text dialog follows: its first one; none when it has none.
    static DialogNode *firstGoto(const DialogNode *dialog);
    // Points dialog's goto at number: adds one as addGoto does, or changes the one it follows.
    Outcome setGoto(DialogNode *dialog, int number);
    // Nothing happens when no dialog with children carries the number.
    Outcome addDelete(DialogNode *selected, int number, int choice);
    // The dialog the delete action's number names, for the choice field: the last node carrying
    // the number that is not the tree's last node.
    DialogNode *numberedDialog(int number) const;

    // One step of the search from position: the first node at or after it whose text holds
    // wanted (ASCII letters in either case), and the position after it. No hit: the position
    // is the node count, or position itself when it lies past the end.
    struct SearchHit
    {
        DialogNode *node = nullptr;
        int next = 0;
    };
    SearchHit search(const QByteArray &wanted, int position) const;

private:
    // A dialog node placed as addSibling places it, numbered provisionally; the count grows by one.
    DialogNode *addDialogNode(DialogNode *node, int imageIndex);
    Outcome actionDialog(DialogNode *selected, const QString &choiceRefusal) const;
    DialogNode *addAction(DialogNode *dialog, const QByteArray &text);
    // Whether dialog already holds a goto among its children.
    bool hasGoto(const DialogNode *dialog) const;
    // Moves added, a dialog just made at the end of dialog's level, right after dialog.
    void placeAfter(DialogNode *dialog, DialogNode *added);

    DialogTree &m_tree;
};
