#pragma once

#include <cstddef>
#include <vector>

class DialogNode;
class DialogTree;

// The conversation as a graph, drawn by the flow map: one box per dialog node (in pre-order) and
// the arrows along which the reading goes, by the read-through's rules:
// - a text dialog leads to the dialog its first goto names, or else to the dialog that follows
//   it (the next one at its level, or the one after the choice dialog holding that level);
// - each answer of a choice dialog leads to the first dialog placed under it, or past the choice
//   dialog when none is;
// - a goto or delete action that names no existing dialog ends in a broken arrow; a broken goto
//   leaves the dialog no other way on, since the reading stops there.
// Where the reading has no way on, the conversation ends: after a text dialog, or after an
// answer. The boxes keep pointers into the tree: build the graph anew after every change of the
// tree.
class FlowGraph
{
public:
    enum class EdgeKind { Next, Answer, Goto, Broken };

    struct Box
    {
        const DialogNode *dialog = nullptr;
        int number = 0;      // the number the dialog's text carries; 0 when it carries none
        bool choice = false; // a choice dialog, whose answers are its exits
        int answers = 0;     // the answers of a choice dialog
        int branch = 0;      // the branch that holds this box
        int nextInBranch = -1;
        int firstBranch = -1; // the branches under this box, linked by Branch::next
        int lastBranch = -1;
        // The dialog's Set, Call and Delete actions, for their marks.
        bool sets = false;
        bool calls = false;
        bool deletes = false;
        // A folded answer branch shown as this one box: the answer node, how many dialogs the
        // branch holds and the number of its last one. dialog is the branch's first dialog.
        const DialogNode *foldedAnswer = nullptr;
        int foldedDialogs = 0;
        int lastNumber = 0;
    };

    // The dialogs that follow one another under one answer of a box (or under one other node
    // that holds dialogs); branch 0 is the top level.
    struct Branch
    {
        const DialogNode *parent = nullptr; // the choice node; none for the top level
        int owner = -1;                     // the box it hangs under; -1 for the top level
        int first = -1;
        int last = -1;
        int next = -1; // the owner's next branch
    };

    struct Edge
    {
        EdgeKind kind = EdgeKind::Next;
        int from = -1;
        int to = -1;                        // -1 for a broken arrow
        const DialogNode *source = nullptr; // the choice node of an answer, the action of a goto
        int port = 0;                       // an answer's place among its box's answers
        int branch = -1;                    // an answer's branch
    };

    // Where the conversation ends: after a text box (port -1) or after one answer of a choice.
    struct End
    {
        int box = -1;
        int port = -1;
        const DialogNode *choice = nullptr; // the answer's choice node
        int branch = -1;                    // the answer's branch
    };

    static FlowGraph build(const DialogTree &tree);
    // This graph with the branches under the given answer nodes shown as one box each: arrows
    // into the branch end at that box, arrows out of it leave from there, arrows inside it go.
    FlowGraph folded(const std::vector<const DialogNode *> &answers) const;

    const std::vector<Box> &boxes() const { return m_boxes; }
    const std::vector<Branch> &branches() const { return m_branches; }
    // In the order of the boxes they leave, a choice's answers in their order.
    const std::vector<Edge> &edges() const { return m_edges; }
    // In the order of the boxes.
    const std::vector<End> &ends() const { return m_ends; }
    // The box of the dialog that holds node (the node itself when it is a dialog); -1 for nodes
    // outside every dialog.
    int boxOf(const DialogNode *node) const;
    // The first edge that leaves box; edges().size() when none does.
    size_t firstEdgeOf(int box) const;

private:
    std::vector<Box> m_boxes;
    std::vector<Branch> m_branches;
    std::vector<Edge> m_edges;
    std::vector<End> m_ends;
};
