#include "tree_journal.h"

#include "action_reference.h"
#include "dialog_tree.h"
#include "node_text.h"

#include <QByteArrayView>
#include <algorithm>
#include <climits>

TreeJournal::TreeJournal(DialogTree &tree) : m_tree(tree) {}

TreeJournal::~TreeJournal() = default;

void TreeJournal::undo()
{
    for (size_t i = m_changes.size(); i > 0;) {
        // A run of label changes (a renumbering pass, mostly) goes back with one notice.
        if (m_changes[i - 1].kind == Change::Label) {
            std::vector<std::pair<DialogNode *, std::pair<QByteArray, bool>>> labels;
            for (; i > 0 && m_changes[i - 1].kind == Change::Label; --i) {
                const Change &change = m_changes[i - 1];
                labels.push_back({change.node, {change.oldText, change.oldBold}});
            }
            m_tree.restoreLabels(labels);
            continue;
        }
        apply(m_changes[--i], false);
    }
    m_tree.m_dialogCount = m_dialogCountBefore;
}

void TreeJournal::redo()
{
    for (size_t i = 0; i < m_changes.size();) {
        if (m_changes[i].kind == Change::Label) {
            std::vector<std::pair<DialogNode *, std::pair<QByteArray, bool>>> labels;
            for (; i < m_changes.size() && m_changes[i].kind == Change::Label; ++i) {
                const Change &change = m_changes[i];
                labels.push_back({change.node, {change.newText, change.newBold}});
            }
            m_tree.restoreLabels(labels);
            continue;
        }
        apply(m_changes[i++], true);
    }
    m_tree.m_dialogCount = m_dialogCountAfter;
}

void TreeJournal::apply(Change &change, bool forward)
{
    DialogNode *node = change.node;
    switch (change.kind) {
    case Change::Insert:
        if (change.nested)
            break;
        if (forward) {
            m_tree.attach(std::move(change.detached), change.fromParent, change.fromRow);
        } else {
            change.fromParent = node->m_parent;
            change.fromRow = node->m_row;
            change.detached = m_tree.detach(node);
        }
        break;
    case Change::Remove:
        if (forward)
            change.detached = m_tree.detach(node);
        else
            m_tree.attach(std::move(change.detached), change.fromParent, change.fromRow);
        break;
    case Change::Move:
        if (forward)
            m_tree.moveTo(node, change.toParent, change.toRow);
        else
            m_tree.moveTo(node, change.fromParent, change.fromRow);
        break;
    case Change::Values: {
        const Record &r = forward ? change.newRecord : change.oldRecord;
        m_tree.restoreValues(node, r.image, r.selected, r.state, r.overlay, r.data);
        break;
    }
    case Change::Label:
        m_tree.restoreLabels({{node,
                               {forward ? change.newText : change.oldText,
                                forward ? change.newBold : change.oldBold}}});
        break;
    }
}

void TreeJournal::followRenumbering()
{
    // The number each dialog that was there before the edit had then: its first label here.
    // Sorted by node with the earliest change first, which the stable sort keeps.
    std::vector<std::pair<const DialogNode *, int>> before;
    for (const Change &change : m_changes) {
        if (change.kind != Change::Label || !change.numbering || m_inserted.count(change.node) ||
            !change.oldText.startsWith("Dialog"))
            continue;
        before.emplace_back(change.node, ActionReference::parseNumber(
                                             QByteArrayView(change.oldText).sliced(6), INT_MAX));
    }
    std::stable_sort(before.begin(), before.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    before.erase(std::unique(before.begin(), before.end(),
                             [](const auto &a, const auto &b) { return a.first == b.first; }),
                 before.end());
    // Old number to new number, sorted by the old one.
    std::vector<std::pair<int, int>> renumbered;
    for (const auto &[node, number] : before) {
        if (number == 0 || !m_tree.contains(node) || !node->text().startsWith("Dialog"))
            continue;
        const int now =
            ActionReference::parseNumber(QByteArrayView(node->text()).sliced(6), INT_MAX);
        if (now != 0 && now != number)
            renumbered.emplace_back(number, now);
    }
    if (renumbered.empty())
        return;
    std::stable_sort(renumbered.begin(), renumbered.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    auto newNumber = [&renumbered](int old) {
        const auto found =
            std::lower_bound(renumbered.begin(), renumbered.end(), std::make_pair(old, INT_MIN));
        return found != renumbered.end() && found->first == old ? found->second : 0;
    };

    for (int i = 0; i < m_tree.count(); ++i) {
        DialogNode *node = m_tree.nodeAt(i);
        // Nodes this edit made (pasted actions) were given their numbers by the edit itself.
        if (!node->hasKind(DialogNode::ReferenceText) || m_inserted.count(node))
            continue;
        ActionReference reference = ActionReference::parse(node->text());
        const int dialog =
            reference.kind == ActionReference::None ? 0 : newNumber(reference.dialog);
        if (dialog == 0)
            continue;
        reference.dialog = dialog;
        m_tree.setText(node, reference.text());
    }
}
