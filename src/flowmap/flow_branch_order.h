#pragma once

#include "flow_graph.h"

#include <vector>

// The order in which the flow map sets each box's branches side by side, left to right. The
// answers stand in their order unless another order lets gotos cross fewer lines: a goto from
// one branch of a choice to another crosses the line of every branch set between them, and one
// leaving the choice's branches for a dialog outside them crosses every branch line on its way
// out to that side (a goto back up to the choice itself crosses none: it comes in from below
// between two answers). Each choice, from the outermost in, takes the order that crosses least
// by that count; of equal orders the one nearest the answers' own.
class FlowBranchOrder
{
public:
    // takesColumns: per branch, whether it stands in columns of its own (holds dialogs, or
    // is an answer's lane); the others keep their places among the answers.
    FlowBranchOrder(const FlowGraph &graph, const std::vector<char> &takesColumns);

    // The branches of box, left to right.
    const int *begin(int box) const { return m_order.data() + m_start[size_t(box)]; }
    const int *end(int box) const { return m_order.data() + m_start[size_t(box) + 1]; }
    // Where an answer's branch stands among its choice's answers, left to right.
    int slot(int branch) const { return m_slot[size_t(branch)]; }

private:
    // What one goto asks of one box's branches.
    struct Wish
    {
        enum Kind : unsigned char {
            Sibling, // into another branch of the box: other
            Out,     // out to either side
            Right,   // out to the right
            Beside,  // out to the side where branch other of box judge stands against own
        };
        int box = 0;
        int branch = 0;
        Kind kind = Out;
        int other = -1;
        int judge = -1;
        int own = -1;
    };

    void wishes(int from, int to);
    void choose(int box, const Wish *first, const Wish *last);
    // Whether box lies in branch or in the branches of its boxes.
    bool within(int branch, int box) const;

    const FlowGraph &m_graph;
    const std::vector<char> &m_takesColumns;
    std::vector<int> m_start;
    std::vector<int> m_order;
    std::vector<int> m_slot;
    std::vector<int> m_place; // per branch: its place among its box's branches
    std::vector<int> m_branchEnd;
    std::vector<int> m_boxEnd; // per box: the last box in its branches, or itself
    std::vector<Wish> m_wishes;
};
