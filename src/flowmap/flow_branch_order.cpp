#include "flow_branch_order.h"

#include <algorithm>
#include <numeric>

namespace {

// A box with up to this many branches in columns tries every order; one with more moves
// neighbours past each other while that crosses less.
constexpr int kEveryOrder = 6;
// A goto whose ends lie further apart than this many levels leaves the orders alone: the
// order of so many boxes barely changes what it crosses, and weighing it would take long.
constexpr int kWeighedLevels = 24;
constexpr int kFar = 1 << 20;

} // namespace

FlowBranchOrder::FlowBranchOrder(const FlowGraph &graph, const std::vector<char> &takesColumns)
    : m_graph(graph), m_takesColumns(takesColumns)
{
    const std::vector<FlowGraph::Box> &boxes = graph.boxes();
    const std::vector<FlowGraph::Branch> &branches = graph.branches();

    // A box's branches hold the boxes after it in pre-order up to m_boxEnd; a branch those
    // from its first box to m_branchEnd.
    m_boxEnd.resize(boxes.size());
    m_branchEnd.assign(branches.size(), -1);
    for (size_t b = boxes.size(); b-- > 0;) {
        int end = int(b);
        for (int branch = boxes[b].firstBranch; branch >= 0;
             branch = branches[size_t(branch)].next) {
            const int last = branches[size_t(branch)].last;
            if (last >= 0)
                end = std::max(end, m_boxEnd[size_t(last)]);
        }
        m_boxEnd[b] = end;
    }
    for (size_t branch = 0; branch < branches.size(); ++branch) {
        if (branches[branch].last >= 0)
            m_branchEnd[branch] = m_boxEnd[size_t(branches[branch].last)];
    }

    // A branch's line parts the sides down to the join (a goto leaving its last box draws on
    // where the line stops), unless it is an answer's lane where the conversation ends.
    std::vector<char> answer(branches.size(), 0);
    m_closed.assign(branches.size(), 1);
    for (const FlowGraph::Edge &edge : graph.edges()) {
        if (edge.kind == FlowGraph::EdgeKind::Answer)
            answer[size_t(edge.branch)] = 1;
    }
    for (const FlowGraph::End &end : graph.ends()) {
        if (end.branch >= 0) {
            answer[size_t(end.branch)] = 1;
            m_closed[size_t(end.branch)] = 0;
        }
    }

    // A box with branches in columns hangs them to the right of its branch's line.
    m_fansBefore.assign(boxes.size(), 0);
    for (size_t b = 0; b < boxes.size(); ++b) {
        const int next = boxes[b].nextInBranch;
        if (next < 0)
            continue;
        bool fan = false;
        for (int branch = boxes[b].firstBranch; branch >= 0 && !fan;
             branch = branches[size_t(branch)].next)
            fan = takesColumns[size_t(branch)];
        m_fansBefore[size_t(next)] = m_fansBefore[b] + fan;
    }

    m_start.assign(boxes.size() + 1, 0);
    m_place.assign(branches.size(), 0);
    m_closedLeft.assign(branches.size(), 0);
    m_closedRight.assign(branches.size(), 0);
    for (size_t b = 0; b < boxes.size(); ++b) {
        m_start[b] = int(m_order.size());
        for (int branch = boxes[b].firstBranch; branch >= 0; branch = branches[size_t(branch)].next)
            m_order.push_back(branch);
    }
    m_start[boxes.size()] = int(m_order.size());
    for (size_t b = 0; b < boxes.size(); ++b)
        arrange(int(b));

    for (const FlowGraph::Edge &edge : graph.edges()) {
        if (edge.kind == FlowGraph::EdgeKind::Goto && edge.to != edge.from)
            addPath(edge.from, edge.to);
    }
    // Outer boxes first: a goto judged by an outer box's order finds it chosen.
    std::vector<Wish> wishes;
    for (size_t p = 0; p < m_paths.size(); ++p) {
        const Path &path = m_paths[p];
        for (int level = 0; level < path.fromLevels + path.toLevels; ++level)
            wishes.push_back({m_levels[size_t(path.first + level)].box, int(p), level});
        if (path.meeting == Path::Branches)
            wishes.push_back({path.box, int(p), -1});
    }
    std::stable_sort(wishes.begin(), wishes.end(),
                     [](const Wish &a, const Wish &b) { return a.box < b.box; });
    for (size_t first = 0; first < wishes.size();) {
        size_t last = first;
        while (last < wishes.size() && wishes[last].box == wishes[first].box)
            ++last;
        choose(wishes[first].box, wishes.data() + first, wishes.data() + last);
        first = last;
    }

    m_slot.assign(branches.size(), -1);
    for (size_t b = 0; b < boxes.size(); ++b) {
        int slot = 0;
        for (const int *branch = begin(int(b)); branch != end(int(b)); ++branch) {
            if (answer[size_t(*branch)])
                m_slot[size_t(*branch)] = slot++;
        }
    }
}

bool FlowBranchOrder::within(int branch, int box) const
{
    const int first = m_graph.branches()[size_t(branch)].first;
    return first >= 0 && box >= first && box <= m_branchEnd[size_t(branch)];
}

void FlowBranchOrder::arrange(int box)
{
    // The places of box's branches, and the parting lines beside each in columns.
    int closed = 0;
    for (const int *branch = begin(box); branch != end(box); ++branch) {
        m_place[size_t(*branch)] = int(branch - begin(box));
        if (!m_takesColumns[size_t(*branch)])
            continue;
        m_closedLeft[size_t(*branch)] = closed;
        closed += m_closed[size_t(*branch)];
    }
    for (const int *branch = begin(box); branch != end(box); ++branch) {
        if (m_takesColumns[size_t(*branch)])
            m_closedRight[size_t(*branch)] =
                closed - m_closedLeft[size_t(*branch)] - m_closed[size_t(*branch)];
    }
}

void FlowBranchOrder::addPath(int from, int to)
{
    const std::vector<FlowGraph::Box> &boxes = m_graph.boxes();
    const std::vector<FlowGraph::Branch> &branches = m_graph.branches();
    Path path;
    path.first = int(m_levels.size());
    // Up from the source through the boxes whose branches hold it, to the first whose
    // branches hold the target too, or whose branch holds both.
    int branch = boxes[size_t(from)].branch;
    bool found = false;
    while (!within(branch, to)) {
        const int owner = branches[size_t(branch)].owner;
        if (owner < 0)
            break;
        if (to == owner) {
            path.meeting = Path::AtBox;
            found = true;
            break;
        }
        if (to > owner && to <= m_boxEnd[size_t(owner)]) {
            path.meeting = Path::Branches;
            path.box = owner;
            path.fromBranch = branch;
            found = true;
            break;
        }
        m_levels.push_back({owner, branch});
        branch = boxes[size_t(owner)].branch;
    }
    if (!found && !within(branch, to)) {
        m_levels.resize(size_t(path.first));
        return;
    }
    path.fromLevels = int(m_levels.size()) - path.first;
    path.fromOnLine = path.fromLevels == 0;
    // Up from the target the same way.
    if (path.meeting != Path::AtBox) {
        int at = to;
        int toBranch = boxes[size_t(to)].branch;
        while (path.meeting == Path::Branches ? branches[size_t(toBranch)].owner != path.box
                                              : toBranch != branch) {
            at = branches[size_t(toBranch)].owner;
            m_levels.push_back({at, toBranch});
            toBranch = boxes[size_t(at)].branch;
        }
        path.toBranch = toBranch;
    }
    path.toLevels = int(m_levels.size()) - path.first - path.fromLevels;
    path.toOnLine = path.toLevels == 0;
    // The ends' boxes on the line where they meet.
    const int fromTop =
        path.fromOnLine ? from : m_levels[size_t(path.first + path.fromLevels - 1)].box;
    const int toTop = path.toOnLine ? to : m_levels[size_t(int(m_levels.size()) - 1)].box;
    if (path.meeting == Path::AtBox) {
        path.fansBetween = m_fansBefore[size_t(fromTop)];
    } else if (path.meeting == Path::Line) {
        const int upper = std::min(fromTop, toTop);
        const int lower = std::max(fromTop, toTop);
        path.fansBetween =
            m_fansBefore[size_t(lower)] - m_fansBefore[size_t(upper)] -
            (m_fansBefore[size_t(boxes[size_t(upper)].nextInBranch)] - m_fansBefore[size_t(upper)]);
    }
    if (path.fromLevels + path.toLevels > kWeighedLevels) {
        m_levels.resize(size_t(path.first));
        return;
    }
    m_paths.push_back(path);
}

int FlowBranchOrder::crossing(const Level &level, int in, int out) const
{
    // Out to the left past the parting lines left of the branch, and its own when coming
    // from its right; the same the other way.
    const size_t branch = size_t(level.branch);
    if (!m_takesColumns[branch])
        return 0;
    return (out == 0 ? m_closedLeft[branch] : m_closedRight[branch]) +
           (in != out ? m_closed[branch] : 0);
}

FlowBranchOrder::Sides FlowBranchOrder::climb(Sides costs, int first, int last) const
{
    for (int level = first; level < last; ++level) {
        const Level &at = m_levels[size_t(level)];
        Sides next{kFar, kFar};
        for (int out = 0; out < 2; ++out) {
            for (int in = 0; in < 2; ++in)
                next[size_t(out)] =
                    std::min(next[size_t(out)], costs[size_t(in)] + crossing(at, in, out));
        }
        costs = next;
    }
    return costs;
}

int FlowBranchOrder::meetingCost(const Path &path, int fromSide, int toSide) const
{
    switch (path.meeting) {
    case Path::AtBox:
        // Up beside the branch's line to the box: on its right past the boxes hanging their
        // branches there, or across the line once.
        return fromSide == 1 && path.fansBetween > 0 ? 1 : 0;
    case Path::Line: {
        // Along one branch's line: freely on its left, on its right past the boxes hanging
        // their branches there, or across it. An end on the line meets the way on either side.
        const int onRight = path.fansBetween > 0 ? 2 : 0;
        if (path.fromOnLine || path.toOnLine) {
            const int side = path.fromOnLine ? toSide : fromSide;
            return side == 1 ? std::min(onRight, 1) : 0;
        }
        return fromSide != toSide ? 1 : fromSide == 1 ? onRight : 0;
    }
    case Path::Branches:
        break;
    }
    // From one branch to the other past the parting lines between, and past each end's own
    // when it stands on the far side of it.
    const size_t from = size_t(path.fromBranch);
    const size_t to = size_t(path.toBranch);
    const bool rightwards = m_place[from] < m_place[to];
    const int between = rightwards ? m_closedLeft[to] - m_closedLeft[from] - m_closed[from]
                                   : m_closedLeft[from] - m_closedLeft[to] - m_closed[to];
    return between + (fromSide != int(rightwards) ? m_closed[from] : 0) +
           (toSide != int(!rightwards) ? m_closed[to] : 0);
}

int FlowBranchOrder::meet(const Path &path, const Sides &from, const Sides &to) const
{
    int best = kFar;
    for (int fromSide = 0; fromSide < 2; ++fromSide) {
        for (int toSide = 0; toSide < 2; ++toSide)
            best = std::min(best, from[size_t(fromSide)] + to[size_t(toSide)] +
                                      meetingCost(path, fromSide, toSide));
    }
    return best;
}

void FlowBranchOrder::choose(int box, const Wish *first, const Wish *last)
{
    int *begin = m_order.data() + m_start[size_t(box)];
    int *end = m_order.data() + m_start[size_t(box) + 1];
    // The branches in columns in the order of the answers.
    const std::vector<FlowGraph::Branch> &branches = m_graph.branches();
    std::vector<int> columns;
    for (int branch = m_graph.boxes()[size_t(box)].firstBranch; branch >= 0;
         branch = branches[size_t(branch)].next) {
        if (m_takesColumns[size_t(branch)])
            columns.push_back(branch);
    }
    const int k = int(columns.size());
    if (k < 2)
        return;
    // Each goto as the box's order weighs it: the costs below the box per side of the
    // branch's line it comes from, and above it per side it leaves on; or, for a goto between
    // two of its branches, the costs of each end's climb.
    struct Weighed
    {
        int branch;
        int other; // -1 for a goto passing through
        Sides below;
        Sides above;
        int path;
    };
    std::vector<Weighed> weighed;
    for (const Wish *wish = first; wish != last; ++wish) {
        const Path &path = m_paths[size_t(wish->path)];
        const int from = path.first;
        const int to = path.first + path.fromLevels;
        const int top = to + path.toLevels;
        const Sides free{0, 0};
        if (wish->level < 0) {
            weighed.push_back({path.fromBranch, path.toBranch, climb(free, from, to),
                               climb(free, to, top), wish->path});
            continue;
        }
        // Through the box on the source's side or the target's: the other side's climb
        // whole, this side's up to the box and on from it.
        const int level = path.first + wish->level;
        const bool onSource = wish->level < path.fromLevels;
        const int start = onSource ? from : to;
        const int stop = onSource ? to : top;
        Weighed item{m_levels[size_t(level)].branch, -1, climb(free, start, level), {}, wish->path};
        const Sides other = onSource ? climb(free, to, top) : climb(free, from, to);
        for (int out = 0; out < 2; ++out) {
            Sides leaving{kFar, kFar};
            leaving[size_t(out)] = 0;
            const Sides climbed = climb(leaving, level + 1, stop);
            item.above[size_t(out)] =
                onSource ? meet(path, climbed, other) : meet(path, other, climbed);
        }
        weighed.push_back(item);
    }

    // Sets the branches in columns at the given places, in the places the columns hold.
    std::vector<int> at(columns.size());
    auto setPlaces = [&](const std::vector<int> &place) {
        for (int i = 0; i < k; ++i)
            at[size_t(place[size_t(i)])] = columns[size_t(i)];
        int next = 0;
        for (int *branch = begin; branch != end; ++branch) {
            if (m_takesColumns[size_t(*branch)])
                *branch = at[size_t(next++)];
        }
        arrange(box);
    };
    // The crossings of all the gotos with the branches at the given places.
    auto total = [&](const std::vector<int> &place) {
        setPlaces(place);
        int count = 0;
        for (const Weighed &item : weighed) {
            const Path &path = m_paths[size_t(item.path)];
            if (item.other >= 0) {
                count += meet(path, item.below, item.above);
                continue;
            }
            int best = kFar;
            const Level level{box, item.branch};
            for (int in = 0; in < 2; ++in) {
                for (int out = 0; out < 2; ++out)
                    best = std::min(best, item.below[size_t(in)] + crossing(level, in, out) +
                                              item.above[size_t(out)]);
            }
            count += best;
        }
        return count;
    };
    auto moved = [k](const std::vector<int> &place) {
        int count = 0;
        for (int i = 0; i < k; ++i) {
            for (int j = i + 1; j < k; ++j)
                count += place[size_t(i)] > place[size_t(j)];
        }
        return count;
    };
    std::vector<int> place(columns.size());
    std::iota(place.begin(), place.end(), 0);
    std::vector<int> best = place;
    int bestCrossings = total(place);
    int bestMoved = 0;
    if (k <= kEveryOrder) {
        while (std::next_permutation(place.begin(), place.end())) {
            const int count = total(place);
            if (count > bestCrossings)
                continue;
            const int away = moved(place);
            if (count < bestCrossings || away < bestMoved) {
                best = place;
                bestCrossings = count;
                bestMoved = away;
            }
        }
    } else {
        // From the order as it stands.
        for (int i = 0; i < k; ++i)
            best[size_t(i)] = int(std::count_if(begin, end, [&](int branch) {
                return m_takesColumns[size_t(branch)] &&
                       m_place[size_t(branch)] < m_place[size_t(columns[size_t(i)])];
            }));
        bestCrossings = total(best);
        for (bool better = true; better;) {
            better = false;
            for (int p = 0; p + 1 < k; ++p) {
                // Swap the branches at places p and p + 1.
                const int a = int(std::find(best.begin(), best.end(), p) - best.begin());
                const int b = int(std::find(best.begin(), best.end(), p + 1) - best.begin());
                std::swap(best[size_t(a)], best[size_t(b)]);
                const int count = total(best);
                if (count < bestCrossings) {
                    bestCrossings = count;
                    better = true;
                } else {
                    std::swap(best[size_t(a)], best[size_t(b)]);
                }
            }
        }
    }
    setPlaces(best);
}
