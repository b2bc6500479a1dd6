#include "flow_graph.h"

#include "document/action_reference.h"
#include "document/dialog_numbers.h"
#include "document/dialog_tree.h"
#include "document/node_text.h"

#include <algorithm>

FlowGraph FlowGraph::build(const DialogTree &tree)
{
    FlowGraph graph;
    graph.m_branches.push_back(Branch());
    // Per node of the tree: the box at or above it, and the branch of the dialogs it holds.
    std::vector<int> boxAbove(size_t(tree.count()), -1);
    std::vector<int> branchUnder(size_t(tree.count()), -1);

    auto openBranch = [&graph, &branchUnder](int owner, const DialogNode *parent) {
        const int branch = int(graph.m_branches.size());
        Branch made;
        made.parent = parent;
        made.owner = owner;
        graph.m_branches.push_back(made);
        Box &box = graph.m_boxes[size_t(owner)];
        if (box.lastBranch < 0)
            box.firstBranch = branch;
        else
            graph.m_branches[size_t(box.lastBranch)].next = branch;
        box.lastBranch = branch;
        branchUnder[size_t(parent->absoluteIndex())] = branch;
        return branch;
    };

    for (int i = 0; i < tree.count(); ++i) {
        const DialogNode *node = tree.nodeAt(i);
        const DialogNode *parent = node->parent();
        const int above = parent ? boxAbove[size_t(parent->absoluteIndex())] : -1;
        if (!NodeText::isDialog(node->text())) {
            boxAbove[size_t(i)] = above;
            continue;
        }
        const int index = int(graph.m_boxes.size());
        boxAbove[size_t(i)] = index;
        int branch = 0;
        if (above >= 0) {
            branch = branchUnder[size_t(parent->absoluteIndex())];
            if (branch < 0)
                branch = openBranch(above, parent);
        }
        Box box;
        box.dialog = node;
        box.number = DialogNumbers::numberOf(node);
        box.choice = NodeText::isChoiceDialog(node);
        box.branch = branch;
        graph.m_boxes.push_back(box);
        Branch &holder = graph.m_branches[size_t(branch)];
        if (holder.last >= 0)
            graph.m_boxes[size_t(holder.last)].nextInBranch = index;
        else
            holder.first = index;
        holder.last = index;
        // Every answer gets its branch, an empty one too, in the order of the answers.
        if (graph.m_boxes.back().choice) {
            for (int row = 0; row < node->childCount(); ++row) {
                if (NodeText::isChoice(node->child(row)->text())) {
                    openBranch(index, node->child(row));
                    ++graph.m_boxes.back().answers;
                }
            }
        }
    }

    // Where each box's own flow goes on when it ends: the next box of its branch, or where the
    // box holding that branch goes on. Owners come first in pre-order.
    std::vector<int> follows(graph.m_boxes.size(), -1);
    for (size_t b = 0; b < graph.m_boxes.size(); ++b) {
        const Box &box = graph.m_boxes[b];
        const int owner = graph.m_branches[size_t(box.branch)].owner;
        follows[b] = box.nextInBranch >= 0 ? box.nextInBranch
                     : owner >= 0          ? follows[size_t(owner)]
                                           : -1;
    }

    const DialogNumbers numbers(tree);
    auto boxNumbered = [&numbers, &boxAbove](int number) {
        const DialogNode *dialog = numbers.find(number);
        return dialog ? boxAbove[size_t(dialog->absoluteIndex())] : -1;
    };
    for (size_t b = 0; b < graph.m_boxes.size(); ++b) {
        const Box &box = graph.m_boxes[b];
        const int from = int(b);
        if (box.choice) {
            int port = 0;
            for (int branch = box.firstBranch; branch >= 0;
                 branch = graph.m_branches[size_t(branch)].next) {
                const Branch &answer = graph.m_branches[size_t(branch)];
                if (answer.parent->parent() != box.dialog ||
                    !NodeText::isChoice(answer.parent->text()))
                    continue;
                const int to = answer.first >= 0 ? answer.first : follows[b];
                if (to >= 0)
                    graph.m_edges.push_back(
                        {EdgeKind::Answer, from, to, answer.parent, port, branch});
                ++port;
            }
            continue;
        }
        bool jumps = false;
        for (int row = 0; row < box.dialog->childCount(); ++row) {
            const DialogNode *action = box.dialog->child(row);
            if (!ActionReference::mayName(action->text()))
                continue;
            const ActionReference reference = ActionReference::parse(action->text());
            const bool isGoto = action->text().startsWith("Goto");
            if (isGoto && jumps)
                continue; // a second goto is never followed
            const int target =
                reference.kind == ActionReference::None ? -1 : boxNumbered(reference.dialog);
            if (target < 0)
                graph.m_edges.push_back({EdgeKind::Broken, from, -1, action, 0, -1});
            else if (isGoto)
                graph.m_edges.push_back({EdgeKind::Goto, from, target, action, 0, -1});
            jumps = jumps || isGoto;
        }
        if (!jumps && follows[b] >= 0)
            graph.m_edges.push_back({EdgeKind::Next, from, follows[b], nullptr, 0, -1});
    }
    return graph;
}

int FlowGraph::boxOf(const DialogNode *node) const
{
    if (!node)
        return -1;
    const int index = node->absoluteIndex();
    auto past = std::upper_bound(m_boxes.begin(), m_boxes.end(), index, [](int at, const Box &box) {
        return at < box.dialog->absoluteIndex();
    });
    if (past == m_boxes.begin())
        return -1;
    // The last dialog before node holds it, or lies inside the dialog that does.
    int box = int(past - m_boxes.begin()) - 1;
    while (box >= 0 && !node->isInSubtreeOf(m_boxes[size_t(box)].dialog))
        box = m_branches[size_t(m_boxes[size_t(box)].branch)].owner;
    return box;
}
