#include "tree_journal.h"

#include "action_reference.h"
#include "dialog_tree.h"

#include <QByteArrayView>
#include <algorithm>
#include <unordered_map>

TreeJournal::TreeJournal(DialogTree &tree) : m_tree(tree)
{
    // What every goto and delete action names as the edit starts: the dialog node that holds
    // its number in the renumbering pass's count, whatever the labels say.
    std::vector<const DialogNode *> numbered;
    for (int i = 0; i < tree.count(); ++i) {
        DialogNode *node = tree.nodeAt(i);
        if (node->hasKind(DialogNode::NumberedText))
            numbered.push_back(node);
        if (node->hasKind(DialogNode::ReferenceText))
            m_references.push_back({node, nullptr, node->text()});
    }
    std::erase_if(m_references, [&numbered](Reference &reference) {
        const ActionReference named = ActionReference::parse(reference.text);
        if (named.dialog < 1 || size_t(named.dialog) > numbered.size())
            return true;
        reference.target = numbered[size_t(named.dialog) - 1];
        return false;
    });
}

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
    if (m_references.empty() ||
        std::none_of(m_changes.begin(), m_changes.end(), [](const Change &change) {
            return change.kind == Change::Label && change.numbering;
        }))
        return;
    // Each named dialog's number now: its place in the count of the pass; 0 once it is gone.
    std::unordered_map<const DialogNode *, int> now;
    for (const Reference &reference : m_references)
        now.emplace(reference.target, 0);
    int count = 0;
    for (int i = 0; i < m_tree.count(); ++i) {
        const DialogNode *node = m_tree.nodeAt(i);
        if (!node->hasKind(DialogNode::NumberedText))
            continue;
        ++count;
        if (const auto found = now.find(node); found != now.end())
            found->second = count;
    }
    for (const Reference &noted : m_references) {
        // An action the edit removed or wrote anew stays as the edit left it.
        if (!m_tree.contains(noted.node) || noted.node->text() != noted.text)
            continue;
        ActionReference reference = ActionReference::parse(noted.text);
        const int number = now[noted.target];
        if (number == 0 || number == reference.dialog)
            continue;
        reference.dialog = number;
        m_tree.setText(noted.node, reference.text());
    }
}
