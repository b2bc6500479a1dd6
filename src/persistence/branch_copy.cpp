#include "branch_copy.h"

#include "document/action_reference.h"
#include "document/dialog_check.h"
#include "document/dialog_numbers.h"
#include "document/dialog_tree.h"
#include "document/node_text.h"

#include <QHash>
#include <algorithm>

namespace {

DialogNode *holdingDialog(DialogNode *node)
{
    while (node && !NodeText::isDialog(node->text()))
        node = node->parent();
    return node;
}

// Where a reference among the pasted records points: the copy of a pasted dialog, or a dialog
// already in the tree.
struct Retarget
{
    size_t record = 0;
    ActionReference reference;
    long inside = -1;
    const DialogNode *outside = nullptr;
};

const QString kNotWhole =
    QStringLiteral("Only whole dialogs, with everything under them, or actions can be pasted: ");

// What keeps the records from being whole dialogs or actions, told as the check tells it
// ("Dialog7: Speaker = Narrator: a speaker is Player or Entity"); empty when nothing does.
QString wholenessProblem(const DlgRecordList &records)
{
    std::vector<size_t> open; // the ancestors of the record at hand
    std::vector<int> children(records.size(), 0);
    std::vector<size_t> holders(records.size(), 0); // the dialog or top record holding each
    const auto told = [&](size_t i, const QString &problem) {
        return CheckFinding{nullptr, records[holders[i]].text, records[i].text, problem}.line();
    };
    for (size_t i = 0; i < records.size(); ++i) {
        open.resize(size_t(records[i].level));
        holders[i] = open.empty() || NodeText::isDialog(records[i].text) ? i : holders[open.back()];
        if (!open.empty()) {
            // A parent's first child is the record right after it.
            const size_t parent = open.back();
            const QString problem =
                DialogCheck::misfit(&records[parent].text, &records[parent + 1].text,
                                    children[parent]++, records[i].text);
            if (!problem.isEmpty())
                return told(i, problem);
        }
        open.push_back(i);
    }
    for (size_t i = 0; i < records.size(); ++i) {
        const QString problem = DialogCheck::missing(
            records[i].text, children[i] ? &records[i + 1].text : nullptr, children[i]);
        if (!problem.isEmpty())
            return told(i, problem);
    }
    return QString();
}

} // namespace

namespace BranchCopy {

QString refusal(const DialogNode *node)
{
    if (node && (NodeText::isDialog(node->text()) || NodeText::isAction(node->text())))
        return QString();
    return QStringLiteral("Only a dialog, with everything under it, or an action can be copied. "
                          "Select a bold dialog node or an action node.");
}

DlgRecordList records(const DialogTree &tree, const DialogNode *node)
{
    DlgRecordList list;
    const int first = node->absoluteIndex();
    const int end = first + node->subtreeSize();
    // The open ancestors, node first: a node's level is the count of those above it.
    std::vector<const DialogNode *> open;
    for (int i = first; i < end; ++i) {
        const DialogNode *current = tree.nodeAt(i);
        while (!open.empty() && open.back() != current->parent())
            open.pop_back();
        list.push_back({int(open.size()), current->imageIndex(), current->selectedIndex(),
                        current->stateIndex(), current->overlayIndex(), current->data(),
                        current->text()});
        open.push_back(current);
    }
    return list;
}

DialogEdits::Outcome paste(DialogTree &tree, DialogNode *selected, const DlgRecordList &records)
{
    if (records.empty())
        return {nullptr, QStringLiteral("There is nothing to paste.")};
    bool dialogs = true;
    bool actions = true;
    for (const DlgRecord &record : records) {
        if (record.level == 0) {
            dialogs = dialogs && NodeText::isDialog(record.text);
            actions = actions && NodeText::isAction(record.text);
        }
    }
    if (!dialogs && !actions)
        return {nullptr, QStringLiteral("Only dialogs, with everything under them, or actions "
                                        "can be pasted.")};
    if (const QString problem = wholenessProblem(records); !problem.isEmpty())
        return {nullptr, kNotWhole + problem};

    DialogNode *parent = nullptr;
    DialogNode *before = nullptr;
    if (actions) {
        parent = holdingDialog(selected);
        QList<QByteArray> texts;
        for (const DlgRecord &record : records) {
            if (record.level == 0)
                texts.append(record.text);
        }
        const QString refused = DialogEdits(tree).actionsRefusal(parent, texts);
        if (!refused.isEmpty())
            return {nullptr, refused};
        // Each action fits where it goes, after the dialog's own nodes.
        for (qsizetype i = 0; i < texts.size(); ++i) {
            const QString problem =
                DialogCheck::misfit(parent, parent->childCount() + int(i), texts[i]);
            if (!problem.isEmpty())
                return {nullptr,
                        kNotWhole +
                            CheckFinding{nullptr, parent->text(), texts[i], problem}.line()};
        }
    } else if (selected && NodeText::isChoice(selected->text()) && selected->parent()) {
        parent = selected;
    } else if (DialogNode *holder = holdingDialog(selected)) {
        parent = holder->parent();
        before = holder->nextSibling();
    }

    int deepest = 0;
    for (const DlgRecord &record : records)
        deepest = std::max(deepest, record.level);
    if (const QString refusal =
            DialogEdits::depthRefusal(parent ? parent->level() + 1 : 0, deepest);
        !refusal.isEmpty())
        return {nullptr, refusal};

    std::vector<Retarget> retargets;
    {
        // The first record carrying each dialog label, so that every reference is looked up once.
        QHash<QByteArray, long> labelled;
        for (size_t j = 0; j < records.size(); ++j) {
            if (NodeText::isDialog(records[j].text) && !labelled.contains(records[j].text))
                labelled.insert(records[j].text, long(j));
        }
        const DialogNumbers numbers(tree);
        for (size_t i = 0; i < records.size(); ++i) {
            const ActionReference reference = ActionReference::parse(records[i].text);
            if (reference.kind == ActionReference::None)
                continue;
            Retarget retarget{i, reference, labelled.value(NodeText::dialog(reference.dialog), -1),
                              nullptr};
            if (retarget.inside < 0)
                retarget.outside = numbers.find(reference.dialog);
            retargets.push_back(retarget);
        }
    }

    std::vector<DialogNode *> made;
    made.reserve(records.size());
    std::vector<DialogNode *> open;
    for (const DlgRecord &record : records) {
        open.resize(size_t(record.level));
        DialogNode *under = open.empty() ? parent : open.back();
        DialogNode *node =
            under ? tree.addChild(under, record.text) : tree.addSibling(nullptr, record.text);
        tree.setRecord(node, record.image, record.selected, record.state, record.overlay,
                       record.data);
        if (record.level == 0 && before)
            tree.moveBefore(node, before);
        made.push_back(node);
        open.push_back(node);
    }
    if (dialogs)
        tree.renumberDialogs();

    for (const Retarget &retarget : retargets) {
        const DialogNode *target =
            retarget.inside >= 0 ? made[size_t(retarget.inside)] : retarget.outside;
        const int number = target ? DialogNumbers::numberOf(target) : 0;
        if (number == 0)
            continue;
        ActionReference reference = retarget.reference;
        reference.dialog = number;
        tree.setText(made[retarget.record], reference.text());
    }
    return {made.front(), QString()};
}

} // namespace BranchCopy
