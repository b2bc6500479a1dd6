#include "flow_graph.h"

#include "document/action_reference.h"
#include "document/dialog_numbers.h"
#include "document/dialog_tree.h"
#include "document/node_text.h"

#include <QHash>
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
        // Most nodes are no dialogs; their first letter tells at once.
        if (!node->text().startsWith('D') || !NodeText::isDialog(node->text())) {
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

    // The box a number names: the first dialog in pre-order that carries it, as DialogNumbers
    // finds it; every such dialog has a box, so the boxes' own numbers make the table.
    std::vector<int> numbered(graph.m_boxes.size() + 1, -1);
    QHash<int, int> beyond;
    for (size_t b = 0; b < graph.m_boxes.size(); ++b) {
        const int number = graph.m_boxes[b].number;
        if (number > 0 && size_t(number) < numbered.size()) {
            if (numbered[size_t(number)] < 0)
                numbered[size_t(number)] = int(b);
        } else if (number > 0 && !beyond.contains(number)) {
            beyond.insert(number, int(b));
        }
    }
    auto boxNumbered = [&numbered, &beyond](int number) {
        if (number > 0 && size_t(number) < numbered.size())
            return numbered[size_t(number)];
        return beyond.value(number, -1);
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
                else
                    graph.m_ends.push_back({from, port, answer.parent, branch});
                ++port;
            }
            continue;
        }
        bool jumps = false;
        for (int row = 0; row < box.dialog->childCount(); ++row) {
            const DialogNode *action = box.dialog->child(row);
            // Actions begin with S(et), C(all), D(elete) or G(oto): most children go at once.
            const char first = action->text().isEmpty() ? '\0' : action->text().front();
            if (first != 'S' && first != 'C' && first != 'D' && first != 'G')
                continue;
            Box &marked = graph.m_boxes[b];
            marked.sets = marked.sets || action->text().startsWith("Set");
            marked.calls = marked.calls || action->text().startsWith("Call");
            marked.deletes = marked.deletes || action->text().startsWith("Delete");
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
        else if (!jumps)
            graph.m_ends.push_back({from, -1, nullptr, -1});
    }
    return graph;
}

FlowGraph FlowGraph::folded(const std::vector<const DialogNode *> &answers) const
{
    if (answers.empty())
        return *this;
    std::vector<const DialogNode *> wanted = answers;
    std::sort(wanted.begin(), wanted.end());
    auto isFolded = [this, &wanted](int branch) {
        const Branch &held = m_branches[size_t(branch)];
        return held.owner >= 0 && held.first >= 0 && m_boxes[size_t(held.owner)].choice &&
               std::binary_search(wanted.begin(), wanted.end(), held.parent);
    };

    FlowGraph graph;
    // Per box: the first box of the folded branch it lies in, or -1; and its box in graph.
    std::vector<int> foldOf(m_boxes.size(), -1);
    std::vector<int> shownAs(m_boxes.size(), -1);
    for (size_t b = 0; b < m_boxes.size(); ++b) {
        const Box &box = m_boxes[b];
        const int owner = m_branches[size_t(box.branch)].owner;
        if (owner >= 0 && foldOf[size_t(owner)] >= 0)
            foldOf[b] = foldOf[size_t(owner)];
        else if (isFolded(box.branch))
            foldOf[b] = m_branches[size_t(box.branch)].first;
        const int fold = foldOf[b];
        if (fold < 0 || fold == int(b)) {
            shownAs[b] = int(graph.m_boxes.size());
            Box shown = box;
            shown.nextInBranch = shown.firstBranch = shown.lastBranch = -1;
            if (fold >= 0) {
                shown.choice = false;
                shown.answers = 0;
                shown.sets = shown.calls = shown.deletes = false;
                shown.foldedAnswer = m_branches[size_t(box.branch)].parent;
            }
            graph.m_boxes.push_back(shown);
        } else {
            shownAs[b] = shownAs[size_t(fold)];
        }
        if (fold >= 0) {
            Box &foldBox = graph.m_boxes[size_t(shownAs[b])];
            ++foldBox.foldedDialogs;
            foldBox.lastNumber = box.number;
        }
    }

    // The branches of shown boxes, in their order; a folded branch holds its one box.
    std::vector<int> branchShownAs(m_branches.size(), -1);
    for (size_t branch = 0; branch < m_branches.size(); ++branch) {
        const int owner = m_branches[branch].owner;
        if (owner >= 0 && foldOf[size_t(owner)] >= 0)
            continue;
        branchShownAs[branch] = int(graph.m_branches.size());
        Branch shown;
        shown.parent = m_branches[branch].parent;
        shown.owner = owner >= 0 ? shownAs[size_t(owner)] : -1;
        graph.m_branches.push_back(shown);
        if (shown.owner >= 0) {
            Box &ownerBox = graph.m_boxes[size_t(shown.owner)];
            if (ownerBox.lastBranch < 0)
                ownerBox.firstBranch = branchShownAs[branch];
            else
                graph.m_branches[size_t(ownerBox.lastBranch)].next = branchShownAs[branch];
            ownerBox.lastBranch = branchShownAs[branch];
        }
    }
    for (size_t shown = 0; shown < graph.m_boxes.size(); ++shown) {
        Box &box = graph.m_boxes[shown];
        box.branch = branchShownAs[size_t(box.branch)];
        Branch &holder = graph.m_branches[size_t(box.branch)];
        if (holder.last >= 0)
            graph.m_boxes[size_t(holder.last)].nextInBranch = int(shown);
        else
            holder.first = int(shown);
        holder.last = int(shown);
    }

    // Arrows keep their order: a folded box takes the place of the first box it stands for.
    for (const Edge &edge : m_edges) {
        Edge shown = edge;
        shown.from = shownAs[size_t(edge.from)];
        shown.to = edge.to >= 0 ? shownAs[size_t(edge.to)] : -1;
        if (edge.branch >= 0)
            shown.branch = branchShownAs[size_t(edge.branch)];
        if (foldOf[size_t(edge.from)] >= 0) {
            // Inside the fold only the ways out count, once each.
            if (shown.to == shown.from)
                continue;
            if (shown.kind == EdgeKind::Answer) {
                shown.kind = EdgeKind::Next;
                shown.port = 0;
                shown.branch = -1;
            }
            const bool repeated =
                std::any_of(graph.m_edges.begin() + graph.firstEdgeOf(shown.from),
                            graph.m_edges.end(), [&shown](const Edge &other) {
                                return other.kind == shown.kind && other.to == shown.to;
                            });
            if (repeated)
                continue;
        }
        graph.m_edges.push_back(shown);
    }
    for (const End &end : m_ends) {
        End shown = end;
        shown.box = shownAs[size_t(end.box)];
        if (foldOf[size_t(end.box)] >= 0) {
            if (!graph.m_ends.empty() && graph.m_ends.back().box == shown.box &&
                graph.m_ends.back().port < 0)
                continue;
            shown.port = -1;
            shown.choice = nullptr;
            shown.branch = -1;
        } else if (end.branch >= 0) {
            shown.branch = branchShownAs[size_t(end.branch)];
        }
        graph.m_ends.push_back(shown);
    }
    return graph;
}

size_t FlowGraph::firstEdgeOf(int box) const
{
    return size_t(std::lower_bound(m_edges.begin(), m_edges.end(), box,
                                   [](const Edge &edge, int from) { return edge.from < from; }) -
                  m_edges.begin());
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
    // The last dialog before node holds it, or lies inside the dialog that does; a folded box
    // holds its whole answer.
    int box = int(past - m_boxes.begin()) - 1;
    auto holds = [this](int at) -> const DialogNode * {
        const Box &held = m_boxes[size_t(at)];
        return held.foldedAnswer ? held.foldedAnswer : held.dialog;
    };
    while (box >= 0 && !node->isInSubtreeOf(holds(box)))
        box = m_branches[size_t(m_boxes[size_t(box)].branch)].owner;
    return box;
}
