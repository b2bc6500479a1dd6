#pragma once

#include "flow_graph.h"

#include <array>
#include <vector>

// The order in which the flow map sets each box's branches side by side, left to right. The
// answers stand in their order unless another order lets gotos cross fewer lines.
// Each branch's line (its answer's arrow, its dialogs and the arrow on from its last one)
// parts what lies left of it from what lies right of it, down to where the branches join
// again; a branch whose reading stops or jumps away at its end parts nothing below that. A
// goto crosses the lines between its two ends: from its source, out through the branches
// around it level by level, each time on the side that crosses fewest, to the branch or the
// box where its target stands; a goto back up to the choice it stands under comes in from
// below and crosses no branch of it. Each box, from the outermost in, takes the order that
// crosses least by that count, judging the boxes below it as they stand; of equal orders the
// one nearest the answers' own.
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
    // A goto's ends seen from the boxes whose branches hold one end and not the other: per
    // end, from the end's own branch outwards, each such box and its branch holding the end.
    struct Level
    {
        int box;
        int branch;
    };
    struct Path
    {
        enum Meeting : unsigned char {
            AtBox,    // the target is the box whose branch holds the source
            Branches, // the ends stand in two branches of one box
            Line,     // the ends stand in one branch, on its line or under its boxes
        };
        int first = 0; // into m_levels: the source's levels, then the target's
        int fromLevels = 0;
        int toLevels = 0;
        Meeting meeting = Line;
        int box = -1; // Branches: the box and the branches holding each end
        int fromBranch = -1;
        int toBranch = -1;
        bool fromOnLine = false; // Line: whether each end stands on the branch's line
        bool toOnLine = false;
        // Line, AtBox: the boxes with branches beside them that stand on the branch's line
        // between the two ends, which a way along the line's right side passes.
        int fansBetween = 0;
    };
    // Crossing costs per side of a branch's line a goto stands on: left, right.
    using Sides = std::array<int, 2>;
    // What a box's order is judged by: the goto of path passing through it at one level, or
    // the goto joining two of its branches (level -1).
    struct Wish
    {
        int box;
        int path;
        int level;
    };

    void addPath(int from, int to);
    bool within(int branch, int box) const;
    // The lines a goto crosses out through the box of level, coming from side in of its
    // branch's line and leaving on side out (0 left, 1 right).
    int crossing(const Level &level, int in, int out) const;
    // Up through levels [first, last) of a path from the costs of each side at the first.
    Sides climb(Sides costs, int first, int last) const;
    // Where both ends have climbed to the meeting: the least cost of the whole goto.
    int meet(const Path &path, const Sides &from, const Sides &to) const;
    int meetingCost(const Path &path, int fromSide, int toSide) const;
    void choose(int box, const Wish *first, const Wish *last);
    void arrange(int box);

    const FlowGraph &m_graph;
    const std::vector<char> &m_takesColumns;
    std::vector<char> m_closed; // per branch: whether its line parts the sides down to the join
    std::vector<int> m_start;
    std::vector<int> m_order;
    std::vector<int> m_slot;
    // Per branch in columns: how many parting lines stand left and right of it.
    std::vector<int> m_closedLeft;
    std::vector<int> m_closedRight;
    std::vector<int> m_place; // per branch: its place among its box's branches
    std::vector<int> m_branchEnd;
    std::vector<int> m_boxEnd;     // per box: the last box in its branches, or itself
    std::vector<int> m_fansBefore; // per box: the boxes with branches before it in its branch
    std::vector<Level> m_levels;
    std::vector<Path> m_paths;
};
