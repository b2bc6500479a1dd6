#include "flow_layout.h"

#include "flow_branch_order.h"
#include "flow_grid.h"
#include "flow_router.h"

#include <algorithm>
#include <climits>

namespace {

// A heading line, then the text's first line or one line per answer.
double heightOf(const FlowGraph::Box &box)
{
    return 2 * FlowLayout::kPadding +
           FlowLayout::kLineHeight * (1 + (box.choice ? box.answers : 1));
}

} // namespace

FlowLayout FlowLayout::lay(const FlowGraph &graph)
{
    const std::vector<FlowGraph::Box> &boxes = graph.boxes();
    const std::vector<FlowGraph::Branch> &branches = graph.branches();

    // A choice with dialogs under an answer spans its answers' columns; each of its answers
    // without dialogs gets a lane there.
    std::vector<char> wide(boxes.size(), 0);
    for (const FlowGraph::Edge &edge : graph.edges()) {
        if (edge.kind == FlowGraph::EdgeKind::Answer && branches[size_t(edge.branch)].first >= 0)
            wide[size_t(edge.from)] = 1;
    }
    std::vector<char> lane(branches.size(), 0);
    for (const FlowGraph::Edge &edge : graph.edges()) {
        if (edge.kind == FlowGraph::EdgeKind::Answer && wide[size_t(edge.from)] &&
            branches[size_t(edge.branch)].first < 0)
            lane[size_t(edge.branch)] = 1;
    }
    for (const FlowGraph::End &end : graph.ends()) {
        if (end.branch >= 0 && wide[size_t(end.box)])
            lane[size_t(end.branch)] = 1;
    }

    // Columns and rows each box's block takes: its branches side by side below it.
    std::vector<int> blockColumns(boxes.size());
    std::vector<int> blockRows(boxes.size());
    std::vector<int> branchColumns(branches.size(), 0);
    std::vector<int> branchRows(branches.size(), 0);
    auto measureBranch = [&](int branch) {
        int columns = lane[size_t(branch)];
        int rows = 0;
        for (int box = branches[size_t(branch)].first; box >= 0;
             box = boxes[size_t(box)].nextInBranch) {
            columns = std::max(columns, blockColumns[size_t(box)]);
            rows += blockRows[size_t(box)];
        }
        branchColumns[size_t(branch)] = columns;
        branchRows[size_t(branch)] = rows;
    };
    // A box's branches hold only boxes after it in pre-order.
    for (size_t b = boxes.size(); b-- > 0;) {
        int columns = 0;
        int rows = 0;
        for (int branch = boxes[b].firstBranch; branch >= 0;
             branch = branches[size_t(branch)].next) {
            measureBranch(branch);
            columns += branchColumns[size_t(branch)];
            rows = std::max(rows, branchRows[size_t(branch)]);
        }
        blockColumns[b] = std::max(1, columns);
        blockRows[b] = 1 + rows;
    }
    if (!branches.empty())
        measureBranch(0);

    std::vector<int> gotos(boxes.size(), 0);
    for (const FlowGraph::Edge &edge : graph.edges())
        gotos[size_t(edge.from)] += edge.kind == FlowGraph::EdgeKind::Goto;

    // A branch's boxes stand in its first column, each box's branches side by side from there,
    // in the order that lets the gotos cross least.
    std::vector<char> takesColumns(branches.size());
    for (size_t branch = 0; branch < branches.size(); ++branch)
        takesColumns[branch] = branchColumns[branch] > 0;
    const FlowBranchOrder order(graph, takesColumns);
    FlowGrid grid;
    grid.boxes.resize(boxes.size());
    std::vector<int> branchColumn(branches.size(), -1);
    auto placeBranch = [&](int branch, int start, int row) {
        if (branchColumns[size_t(branch)] > 0)
            branchColumn[size_t(branch)] = start;
        for (int box = branches[size_t(branch)].first; box >= 0;
             box = boxes[size_t(box)].nextInBranch) {
            FlowGrid::Box &place = grid.boxes[size_t(box)];
            place.row = row;
            place.column = place.first = place.last = start;
            if (wide[size_t(box)])
                place.last = start + blockColumns[size_t(box)] - 1;
            place.height = std::max(heightOf(boxes[size_t(box)]),
                                    kExitsBelow + kExitRow * (gotos[size_t(box)] - 3));
            row += blockRows[size_t(box)];
        }
    };
    if (!branches.empty())
        placeBranch(0, 0, 0);
    for (size_t b = 0; b < boxes.size(); ++b) {
        int start = grid.boxes[b].column;
        for (const int *branch = order.begin(int(b)); branch != order.end(int(b)); ++branch) {
            placeBranch(*branch, start, grid.boxes[b].row + 1);
            start += branchColumns[size_t(*branch)];
        }
    }
    const int columns = branches.empty() ? 0 : branchColumns[0];
    const int rows = branches.empty() ? 0 : branchRows[0];
    grid.columnHoldsBoxes.assign(size_t(columns), 0);
    grid.rowHeights.assign(size_t(rows), 0);
    for (const FlowGrid::Box &place : grid.boxes) {
        grid.columnHoldsBoxes[size_t(place.column)] = 1;
        double &height = grid.rowHeights[size_t(place.row)];
        height = std::max(height, place.height);
    }

    // A wide choice closes the gutters it spans in its row. A goto needs one gutter between the
    // columns of its two boxes open through all the rows between them: where wide choices close
    // them all, the fewest that close one stand in one column instead, their answers fanning out
    // below them.
    std::vector<std::pair<int, int>> wideByRow;
    for (size_t b = 0; b < boxes.size(); ++b) {
        if (wide[b])
            wideByRow.push_back({grid.boxes[b].row, int(b)});
    }
    std::sort(wideByRow.begin(), wideByRow.end());
    std::vector<char> narrowed(boxes.size(), 0);
    std::vector<int> closing;
    for (const FlowGraph::Edge &edge : graph.edges()) {
        if (edge.kind != FlowGraph::EdgeKind::Goto && edge.kind != FlowGraph::EdgeKind::Next)
            continue;
        const FlowGrid::Box &from = grid.boxes[size_t(edge.from)];
        const FlowGrid::Box &to = grid.boxes[size_t(edge.to)];
        // The gutters next to the two boxes' columns: a box of the two may yet stand narrow.
        const int firstGutter = std::min(from.column, to.column);
        const int lastGutter = std::max(from.column, to.column) + 1;
        const auto begin = std::upper_bound(wideByRow.begin(), wideByRow.end(),
                                            std::make_pair(std::min(from.row, to.row), INT_MAX));
        const auto end =
            std::lower_bound(begin, wideByRow.end(), std::make_pair(std::max(from.row, to.row), 0));
        if (begin == end)
            continue;
        closing.assign(size_t(lastGutter - firstGutter + 1), 0);
        for (auto passed = begin; passed != end; ++passed) {
            const FlowGrid::Box &choice = grid.boxes[size_t(passed->second)];
            if (narrowed[size_t(passed->second)])
                continue;
            for (int g = std::max(firstGutter, choice.first + 1);
                 g <= std::min(lastGutter, choice.last); ++g)
                ++closing[size_t(g - firstGutter)];
        }
        const int open = int(std::min_element(closing.begin(), closing.end()) - closing.begin());
        for (auto passed = begin; passed != end && closing[size_t(open)] > 0; ++passed) {
            const FlowGrid::Box &choice = grid.boxes[size_t(passed->second)];
            if (choice.first < firstGutter + open && choice.last >= firstGutter + open)
                narrowed[size_t(passed->second)] = 1;
        }
    }
    for (size_t b = 0; b < boxes.size(); ++b) {
        if (narrowed[b]) {
            wide[b] = 0;
            grid.boxes[b].last = grid.boxes[b].first;
        }
    }

    // A wide choice's answers leave down their columns. A narrow one's leave spread along its
    // bottom; the middle one leaves from the middle only when it runs straight down, or it
    // could run on one line with an arrow into the box below.
    grid.portStart.resize(boxes.size() + 1);
    for (size_t b = 0; b < boxes.size(); ++b)
        grid.portStart[b + 1] = grid.portStart[b] + boxes[b].answers;
    grid.ports.resize(size_t(grid.portStart.back()));
    // Along a narrow box the answers stand in the order of their branches' columns.
    std::vector<char> middleStraight(boxes.size(), 0);
    std::vector<int> middlePort(boxes.size(), -1);
    auto slotOf = [&order](int port, int branch) {
        return branch >= 0 ? order.slot(branch) : port;
    };
    auto portBranch = [&](int box, int port, int branch) {
        FlowGrid::Port &at = grid.ports[size_t(grid.portStart[size_t(box)] + port)];
        if (wide[size_t(box)] && branch >= 0 && branchColumn[size_t(branch)] >= 0) {
            at.column = branchColumn[size_t(branch)];
            return;
        }
        if (branch >= 0 && lane[size_t(branch)])
            at.lane = branchColumn[size_t(branch)];
        const int answers = boxes[size_t(box)].answers;
        const int slot = slotOf(port, branch);
        at.column = grid.boxes[size_t(box)].column;
        at.offset = -kBoxWidth / 2 + kBoxWidth * (slot + 1) / (answers + 1);
        if (2 * slot + 1 == answers)
            middlePort[size_t(box)] = port;
    };
    for (const FlowGraph::Edge &edge : graph.edges()) {
        if (edge.kind != FlowGraph::EdgeKind::Answer)
            continue;
        portBranch(edge.from, edge.port, edge.branch);
        const FlowGrid::Box &from = grid.boxes[size_t(edge.from)];
        const FlowGrid::Box &to = grid.boxes[size_t(edge.to)];
        if (2 * slotOf(edge.port, edge.branch) + 1 == boxes[size_t(edge.from)].answers &&
            to.column == from.column && to.row == from.row + 1)
            middleStraight[size_t(edge.from)] = 1;
    }
    for (const FlowGraph::End &end : graph.ends()) {
        if (end.port >= 0)
            portBranch(end.box, end.port, end.branch);
    }
    for (size_t b = 0; b < boxes.size(); ++b) {
        const int answers = boxes[b].answers;
        if (!boxes[b].choice || wide[b] || middlePort[b] < 0 || middleStraight[b])
            continue;
        grid.ports[size_t(grid.portStart[b] + middlePort[b])].offset -=
            kBoxWidth / (answers + 1) / 2;
    }

    FlowLayout layout;
    FlowRouter(graph, grid).route(layout);

    layout.m_rowOf.resize(boxes.size());
    layout.m_columnOf.resize(boxes.size());
    layout.m_byRow.resize(boxes.size());
    for (size_t b = 0; b < boxes.size(); ++b) {
        layout.m_rowOf[b] = grid.boxes[b].row;
        layout.m_columnOf[b] = grid.boxes[b].column;
        layout.m_byRow[b] = int(b);
    }
    std::sort(layout.m_byRow.begin(), layout.m_byRow.end(), [&layout](int a, int b) {
        const int ra = layout.m_rowOf[size_t(a)];
        const int rb = layout.m_rowOf[size_t(b)];
        return ra != rb ? ra < rb : layout.m_columnOf[size_t(a)] < layout.m_columnOf[size_t(b)];
    });
    // Every row holds a box: the rows of a block are those of its longest branch.
    layout.m_rowStart.assign(size_t(rows) + 1, int(boxes.size()));
    for (size_t i = boxes.size(); i-- > 0;)
        layout.m_rowStart[size_t(layout.m_rowOf[size_t(layout.m_byRow[i])])] = int(i);
    return layout;
}

std::vector<int> FlowLayout::boxesInRow(int row) const
{
    if (row < 0 || row >= rowCount())
        return {};
    return std::vector<int>(m_byRow.begin() + m_rowStart[size_t(row)],
                            m_byRow.begin() + m_rowStart[size_t(row) + 1]);
}

std::vector<int> FlowLayout::boxesBetween(double top, double bottom) const
{
    // Rows begin at the tops of their boxes and end where the next row begins.
    auto rowTop = [this](int row) {
        return m_boxes[size_t(m_byRow[size_t(m_rowStart[size_t(row)])])].top();
    };
    int first = 0;
    int past = rowCount();
    while (first < past) {
        const int middle = (first + past) / 2;
        if (middle + 1 < rowCount() && rowTop(middle + 1) <= top)
            first = middle + 1;
        else
            past = middle;
    }
    int last = first;
    while (last < rowCount() && rowTop(last) <= bottom)
        ++last;
    return std::vector<int>(m_byRow.begin() + (first < rowCount() ? m_rowStart[size_t(first)] : 0),
                            m_byRow.begin() + (last > first ? m_rowStart[size_t(last)] : 0));
}

int FlowLayout::boxAt(const QPointF &point) const
{
    // The last row beginning above point, then its boxes by their left sides.
    int low = 0;
    int high = rowCount();
    while (low < high) {
        const int middle = (low + high) / 2;
        const int first = m_byRow[size_t(m_rowStart[size_t(middle)])];
        if (m_boxes[size_t(first)].top() <= point.y())
            low = middle + 1;
        else
            high = middle;
    }
    if (low == 0)
        return -1;
    const auto begin = m_byRow.begin() + m_rowStart[size_t(low - 1)];
    const auto end = m_byRow.begin() + m_rowStart[size_t(low)];
    const auto past = std::upper_bound(begin, end, point.x(), [this](double x, int box) {
        return x < m_boxes[size_t(box)].left();
    });
    if (past == begin)
        return -1;
    const int box = *(past - 1);
    return m_boxes[size_t(box)].contains(point) ? box : -1;
}
