#include "dialog_edits.h"

#include "document/action_reference.h"
#include "document/dialog_check.h"
#include "document/dialog_numbers.h"
#include "document/dialog_tree.h"
#include "document/node_text.h"
#include "document/variable_operation.h"
#include "document/variable_value.h"
#include "platform/ansi.h"

#include <QStringList>
#include <algorithm>

namespace {

constexpr int kTextDialogImage = 1;
constexpr int kChoiceDialogImage = 2;

const QString kRootNotDeleted = QStringLiteral("Root can not be deleted!");
const QString kFunctionOnChoice =
    QStringLiteral("You can only add a function to a Dialog! Not to a choice!");
const QString kVariableOnChoice =
    QStringLiteral("You can only add a variable operation to a Dialog! Not to a choice!");
const QString kSecondGoto = QStringLiteral("There is already a goto defined in this dialog!");

QString stepName(const DialogNode *node)
{
    return QStringLiteral("Delete ") + Ansi::toUnicode(node->text());
}

} // namespace

DialogNode *DialogEdits::addDialogNode(DialogNode *node, int imageIndex)
{
    m_tree.setDialogCount(m_tree.DialogCount() + 1);
    // The number is provisional: creating the first child renumbers the dialog by position.
    DialogNode *dialog = m_tree.addSibling(node, NodeText::dialog(m_tree.DialogCount()));
    m_tree.setImageIndex(dialog, imageIndex);
    return dialog;
}

DialogNode *DialogEdits::addTextDialog(DialogNode *node, const QByteArray &line, Speaker speaker)
{
    DialogNode *dialog = addDialogNode(node, kTextDialogImage);
    m_tree.addChild(dialog, NodeText::typeText());
    m_tree.addChild(dialog, NodeText::speaker(speaker == Speaker::Player ? "Player" : "Entity"));
    m_tree.addChild(dialog, NodeText::text(line));
    return dialog;
}

DialogEdits::Outcome DialogEdits::addChoiceDialog(DialogNode *node, const QList<Answer> &answers)
{
    if (answers.isEmpty())
        return {nullptr, QStringLiteral("Please create a choice first!")};
    DialogNode *dialog = addDialogNode(node, kChoiceDialogImage);
    for (const Answer &answer : answers) {
        DialogNode *choice = m_tree.addChild(dialog, NodeText::choice(answer.choice));
        m_tree.addChild(choice, NodeText::text(answer.text));
    }
    return {dialog, QString()};
}

void DialogEdits::placeAfter(DialogNode *dialog, DialogNode *added)
{
    DialogNode *next = dialog->nextSibling();
    if (next && next != added) {
        m_tree.moveBefore(added, next);
        m_tree.renumberDialogs();
    }
}

DialogEdits::Outcome DialogEdits::addTextDialogAfter(DialogNode *dialog, const QByteArray &line,
                                                     Speaker speaker)
{
    if (const QString refusal = depthRefusal(dialog->level(), 1); !refusal.isEmpty())
        return {nullptr, refusal};
    DialogNode *added = addTextDialog(dialog, line, speaker);
    placeAfter(dialog, added);
    return {added, QString()};
}

DialogEdits::Outcome DialogEdits::addChoiceDialogAfter(DialogNode *dialog,
                                                       const QList<Answer> &answers)
{
    if (const QString refusal = depthRefusal(dialog->level(), 2); !refusal.isEmpty())
        return {nullptr, refusal};
    const Outcome added = addChoiceDialog(dialog, answers);
    if (added.node)
        placeAfter(dialog, added.node);
    return added;
}

DialogEdits::Outcome DialogEdits::addAnswer(DialogNode *choiceDialog, const QByteArray &text)
{
    if (!choiceDialog || !NodeText::isDialog(choiceDialog->text()) ||
        !NodeText::isChoiceDialog(choiceDialog))
        return {nullptr, QStringLiteral("Please select a choice dialog first!")};
    if (const QString refusal = depthRefusal(choiceDialog->level() + 1, 1); !refusal.isEmpty())
        return {nullptr, refusal};
    // One more than the highest number, as the answer table numbers its rows.
    int highest = 0;
    for (int row = 0; row < choiceDialog->childCount(); ++row) {
        const QByteArray &child = choiceDialog->child(row)->text();
        if (NodeText::isChoice(child))
            highest = std::max(highest, NodeText::choiceNumber(child).toInt());
    }
    DialogNode *choice =
        m_tree.addChild(choiceDialog, NodeText::choice(QByteArray::number(highest + 1)));
    m_tree.addChild(choice, NodeText::text(text));
    return {choice, QString()};
}

QString DialogEdits::decisionRefusal() const
{
    // Root and a configuration node are not enough.
    if (m_tree.count() < 3)
        return QStringLiteral("First Item must be a dialog!");
    return QString();
}

DialogEdits::Outcome DialogEdits::addPlaced(const Placement &placement, int height,
                                            const Creator &create)
{
    int level = 0;
    if (placement.kind == Placement::IntoChoice && placement.answer)
        level = placement.answer->level();
    else if (placement.kind == Placement::BeforeDialog && indexOfDialog(placement.number) >= 0)
        level = m_tree.nodeAt(indexOfDialog(placement.number))->level();
    if (const QString refusal = depthRefusal(level, height); !refusal.isEmpty())
        return {nullptr, refusal};
    switch (placement.kind) {
    case Placement::AtEnd:
        return {create(nullptr), QString()};
    case Placement::IntoChoice: {
        DialogNode *added = create(placement.answer);
        m_tree.renumberDialogs();
        return {added, QString()};
    }
    case Placement::BeforeDialog: {
        // Appended first, then moved: a refused choice dialog leaves nothing to move.
        DialogNode *added = create(nullptr);
        if (added) {
            m_tree.moveBefore(m_tree.lastTopLevel(),
                              m_tree.nodeAt(indexOfDialog(placement.number)));
            m_tree.renumberDialogs();
        }
        return {added, QString()};
    }
    }
    return {};
}

QString DialogEdits::depthRefusal(int level, int height)
{
    if (level + height <= DialogTree::kDeepestStoredLevel)
        return QString();
    return QStringLiteral("This would nest the dialog tree deeper than the %1 levels a dialog "
                          "file holds.")
        .arg(DialogTree::kDeepestStoredLevel);
}

int DialogEdits::heightOf(const DialogNode *node) const
{
    // The open ancestors within the subtree, node first: no walk up from every node.
    std::vector<const DialogNode *> open;
    int height = 0;
    const int end = node->absoluteIndex() + node->subtreeSize();
    for (int i = node->absoluteIndex(); i < end; ++i) {
        const DialogNode *current = m_tree.nodeAt(i);
        while (!open.empty() && open.back() != current->parent())
            open.pop_back();
        height = std::max(height, int(open.size()));
        open.push_back(current);
    }
    return height;
}

int DialogEdits::indexOfDialog(int number) const
{
    // The name is made once: the scan runs over the whole tree. From the end, the first match
    // is the last one in pre-order.
    const QByteArray name = NodeText::dialog(number);
    for (int i = m_tree.count() - 1; i >= 0; --i) {
        if (m_tree.nodeAt(i)->text() == name)
            return i;
    }
    return -1;
}

DialogNode *DialogEdits::enclosingDialog(DialogNode *node)
{
    DialogNode *current = node->parent();
    while (!NodeText::isDialog(current->text()) && current->parent())
        current = current->parent();
    return current;
}

DialogEdits::Deletion DialogEdits::planDeletion(DialogNode *node) const
{
    const QByteArray &text = node->text();
    if (NodeText::isRoot(text))
        return {QString(), kRootNotDeleted, nullptr, QString()};
    if (NodeText::isDialogForNumbering(text))
        return {QStringLiteral("Do you really want to delete this dialog?"), QString(), node,
                stepName(node)};
    if (NodeText::isAction(text))
        return {QString(), QString(), node, stepName(node)};
    if (!node->parent())
        return {};

    DialogNode *enclosing = enclosingDialog(node);
    const QString question = NodeText::isChoice(text)
                                 ? QStringLiteral("You will delete an entire choice\n\rContinue?")
                                 : QStringLiteral("The dialog you need to delete is ") +
                                       Ansi::toUnicode(enclosing->text()) +
                                       QStringLiteral("\r\nDo you want to delete it?");
    // A node with no dialog above it but the root must not take the root with it.
    if (NodeText::isRoot(enclosing->text()))
        return {question, kRootNotDeleted, nullptr, QString()};
    return {question, QString(), enclosing, stepName(enclosing)};
}

void DialogEdits::remove(const Deletion &deletion)
{
    if (!deletion.target)
        return;
    const bool dialog = !NodeText::isAction(deletion.target->text());
    m_tree.remove(deletion.target);
    if (dialog)
        m_tree.renumberDialogs();
}

std::vector<DialogNode *> DialogEdits::actionsNamingDialogsIn(const DialogNode *node) const
{
    std::vector<DialogNode *> actions;
    const DialogNumbers numbers(m_tree);
    for (int i = 0; i < m_tree.count(); ++i) {
        DialogNode *action = m_tree.nodeAt(i);
        if (!ActionReference::mayName(action->text()) || action->isInSubtreeOf(node))
            continue;
        const ActionReference reference = ActionReference::parse(action->text());
        const DialogNode *target = numbers.find(reference.dialog);
        if (reference.kind != ActionReference::None && target && target->isInSubtreeOf(node))
            actions.push_back(action);
    }
    return actions;
}

QString DialogEdits::namedDialogsQuestion(const std::vector<DialogNode *> &actions)
{
    constexpr size_t kListed = 5;
    QStringList listed;
    for (size_t i = 0; i < actions.size() && i < kListed; ++i)
        listed.append(Ansi::toUnicode(enclosingDialog(actions[i])->text()) + QStringLiteral(": ") +
                      Ansi::toUnicode(actions[i]->text()));
    if (actions.size() > kListed)
        listed.last() += QStringLiteral(" and %1 more").arg(actions.size() - kListed);
    if (actions.size() == 1)
        return QStringLiteral("1 action names a dialog that will be deleted (%1). Delete "
                              "anyway? It will name no dialog.")
            .arg(listed.first());
    return QStringLiteral("%1 actions name the dialogs that will be deleted (%2). Delete anyway? "
                          "They will name no dialog.")
        .arg(actions.size())
        .arg(listed.join(QStringLiteral(", ")));
}

void DialogEdits::unname(const std::vector<DialogNode *> &actions)
{
    for (DialogNode *action : actions) {
        ActionReference reference = ActionReference::parse(action->text());
        reference.dialog = 0;
        m_tree.setText(action, reference.text());
    }
}

DialogEdits::Outcome DialogEdits::moveDialog(DialogNode *dragged, DialogNode *target)
{
    if (!target || !dragged || !NodeText::isDialog(dragged->text()) ||
        !NodeText::isDialog(target->text()))
        return {};
    if (!target->isInSubtreeOf(dragged)) {
        if (const QString refusal = depthRefusal(target->level(), heightOf(dragged));
            !refusal.isEmpty())
            return {nullptr, refusal};
    }
    m_tree.moveBefore(dragged, target);
    m_tree.renumberDialogs();
    return {dragged, QString()};
}

bool DialogEdits::moveAmongDialogs(DialogNode *dialog, bool up)
{
    if (!dialog || !NodeText::isDialog(dialog->text()))
        return false;
    DialogNode *other = up ? dialog->previousSibling() : dialog->nextSibling();
    while (other && !NodeText::isDialog(other->text()))
        other = up ? other->previousSibling() : other->nextSibling();
    if (!other)
        return false;
    if (up)
        m_tree.moveBefore(dialog, other);
    else
        m_tree.moveBefore(other, dialog);
    m_tree.renumberDialogs();
    return true;
}

QString DialogEdits::updateText(DialogNode *node, const QByteArray &text)
{
    if (!node)
        return QStringLiteral("Select an element you want to update!");
    // The first child of every node is fixed: the root, the configuration node, type nodes,
    // first choices and the answers of choices.
    if (node->row() == 0 || NodeText::isDialog(node->text()))
        return QStringLiteral("Changing root or dialog items is not allowed");
    if (text.isEmpty())
        return QStringLiteral("Field is empty!");
    if (NodeText::isRoot(node->text()))
        return QStringLiteral("Root element cannot be changed!");
    // A node that fits where it stands keeps fitting; one that fits no kind may become anything.
    if (DialogCheck::misfit(node->parent(), node->row(), node->text()).isEmpty()) {
        const QString problem = DialogCheck::misfit(node->parent(), node->row(), text);
        if (!problem.isEmpty())
            return QStringLiteral("\"%1\" does not fit here: %2")
                .arg(Ansi::toUnicode(text), problem);
    }
    m_tree.setText(node, text);
    return QString();
}

bool DialogEdits::rename(DialogNode *node, const QByteArray &text)
{
    if (node->text() == text)
        return false;
    m_tree.setText(node, text);
    return true;
}

DialogEdits::Outcome DialogEdits::actionDialog(DialogNode *selected,
                                               const QString &choiceRefusal) const
{
    if (!selected || !NodeText::isDialog(selected->text()))
        return {nullptr, QStringLiteral("Please select a bold dialog node first!")};
    // A dialog without children is not a choice dialog.
    if (NodeText::isChoiceDialog(selected))
        return {nullptr, choiceRefusal};
    if (const QString refusal = depthRefusal(selected->level() + 1, 0); !refusal.isEmpty())
        return {nullptr, refusal};
    return {selected, QString()};
}

DialogNode *DialogEdits::addAction(DialogNode *dialog, const QByteArray &text)
{
    return m_tree.addChild(dialog, text);
}

DialogEdits::Outcome DialogEdits::addVariable(DialogNode *selected, const QByteArray &type,
                                              const QByteArray &name, const QByteArray &value)
{
    Outcome dialog = actionDialog(selected, kVariableOnChoice);
    if (!dialog.node)
        return dialog;
    if (!valueFitsType(value, type))
        return {nullptr, VariableOperation::wrongTypeText()};
    return {addAction(dialog.node, NodeText::setVariable(type, name, value)), QString()};
}

DialogEdits::Outcome DialogEdits::addCall(DialogNode *selected, const QByteArray &call)
{
    Outcome dialog = actionDialog(selected, kFunctionOnChoice);
    if (!dialog.node)
        return dialog;
    return {addAction(dialog.node, NodeText::call(call)), QString()};
}

DialogEdits::Outcome DialogEdits::addGoto(DialogNode *selected, int number)
{
    Outcome dialog = actionDialog(selected, kFunctionOnChoice);
    if (!dialog.node)
        return dialog;
    if (hasGoto(dialog.node))
        return {nullptr, kSecondGoto};
    return {addAction(dialog.node, NodeText::gotoDialog(number)), QString()};
}

DialogNode *DialogEdits::firstGoto(const DialogNode *dialog)
{
    for (int row = 0; dialog && row < dialog->childCount(); ++row) {
        if (dialog->child(row)->text().startsWith("Goto"))
            return dialog->child(row);
    }
    return nullptr;
}

DialogEdits::Outcome DialogEdits::setGoto(DialogNode *dialog, int number)
{
    DialogNode *followed = firstGoto(dialog);
    if (!followed || NodeText::isChoiceDialog(dialog))
        return addGoto(dialog, number);
    m_tree.setText(followed, NodeText::gotoDialog(number));
    return {followed, QString()};
}

bool DialogEdits::hasGoto(const DialogNode *dialog) const
{
    // Only the run of direct children right after the dialog counts: the scan stops at the
    // first node of another level, which in tree order is the first that is not a child.
    for (int i = dialog->absoluteIndex() + 1; i < m_tree.count(); ++i) {
        const DialogNode *node = m_tree.nodeAt(i);
        if (node->parent() != dialog)
            break;
        if (node->text().startsWith("Goto"))
            return true;
    }
    return false;
}

QString DialogEdits::actionsRefusal(DialogNode *dialog, const QList<QByteArray> &actions) const
{
    const bool variable = !actions.isEmpty() && actions.front().startsWith("Set");
    const Outcome target = actionDialog(dialog, variable ? kVariableOnChoice : kFunctionOnChoice);
    if (!target.node)
        return target.refusal;
    const qsizetype gotos = std::count_if(actions.begin(), actions.end(),
                                          [](const QByteArray &t) { return t.startsWith("Goto"); });
    if (gotos > 1 || (gotos == 1 && hasGoto(dialog)))
        return kSecondGoto;
    return QString();
}

DialogEdits::Outcome DialogEdits::addDelete(DialogNode *selected, int number, int choice)
{
    Outcome dialog = actionDialog(selected, kFunctionOnChoice);
    if (!dialog.node)
        return dialog;
    const DialogNode *target = nullptr;
    for (int i = 0; i < m_tree.count() && !target; ++i) {
        const DialogNode *node = m_tree.nodeAt(i);
        if (NodeText::isDialogNumber(node->text(), number) && node->childCount() > 0)
            target = node;
    }
    if (!target)
        return {};
    return {addAction(dialog.node, NodeText::isChoiceDialog(target)
                                       ? NodeText::deleteChoice(choice, number)
                                       : NodeText::deleteDialog(number)),
            QString()};
}

DialogNode *DialogEdits::numberedDialog(int number) const
{
    // Only a dialog that is not the tree's last node can have a first child to look at.
    DialogNode *found = nullptr;
    for (int i = 0; i + 1 < m_tree.count(); ++i) {
        DialogNode *node = m_tree.nodeAt(i);
        if (NodeText::isDialogNumber(node->text(), number))
            found = node;
    }
    return found;
}

DialogEdits::SearchHit DialogEdits::search(const QByteArray &wanted, int position) const
{
    const QByteArray upper = Ansi::upperAscii(wanted);
    const int count = m_tree.count();
    for (int i = qMax(position, 0); i < count; ++i) {
        DialogNode *node = m_tree.nodeAt(i);
        if (!upper.isEmpty() && Ansi::upperAscii(node->text()).contains(upper))
            return {node, i + 1};
    }
    return {nullptr, qMax(position, count)};
}
