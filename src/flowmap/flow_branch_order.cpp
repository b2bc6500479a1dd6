#include "flow_branch_order.h"

#include <algorithm>
#include <numeric>

namespace {

// A box with up to this many branches in columns tries every order; one with more moves
// neighbours past each other while that crosses less.
constexpr int kEveryOrder = 6;

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

    m_start.assign(boxes.size() + 1, 0);
    m_place.assign(branches.size(), 0);
    for (size_t b = 0; b < boxes.size(); ++b) {
        m_start[b] = int(m_order.size());
        for (int branch = boxes[b].firstBranch; branch >= 0;
             branch = branches[size_t(branch)].next) {
            m_place[size_t(branch)] = int(m_order.size()) - m_start[b];
            m_order.push_back(branch);
        }
    }
    m_start[boxes.size()] = int(m_order.size());

    for (const FlowGraph::Edge &edge : graph.edges()) {
        if (edge.kind == FlowGraph::EdgeKind::Goto && edge.to != edge.from)
            wishes(edge.from, edge.to);
    }
    // Outer boxes first: a wish judged by an outer box's order finds it chosen.
    std::stable_sort(m_wishes.begin(), m_wishes.end(),
                     [](const Wish &a, const Wish &b) { return a.box < b.box; });
    for (size_t first = 0; first < m_wishes.size();) {
        size_t last = first;
        while (last < m_wishes.size() && m_wishes[last].box == m_wishes[first].box)
            ++last;
        choose(m_wishes[first].box, m_wishes.data() + first, m_wishes.data() + last);
        first = last;
    }
    m_wishes.clear();

    std::vector<char> answer(branches.size(), 0);
    for (const FlowGraph::Edge &edge : graph.edges()) {
        if (edge.kind == FlowGraph::EdgeKind::Answer)
            answer[size_t(edge.branch)] = 1;
    }
    for (const FlowGraph::End &end : graph.ends()) {
        if (end.branch >= 0)
            answer[size_t(end.branch)] = 1;
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

void FlowBranchOrder::wishes(int from, int to)
{
    const std::vector<FlowGraph::Box> &boxes = m_graph.boxes();
    const std::vector<FlowGraph::Branch> &branches = m_graph.branches();
    // Up from the goto's source through the boxes whose branches hold it, to the first whose
    // branches hold the target too, or whose branch holds both.
    const size_t firstWish = m_wishes.size();
    int top = from; // the outermost box on the source's side, in the branch that holds both
    int branch = boxes[size_t(from)].branch;
    int judge = -1; // the box whose branches hold the two ends apart
    int fromBranch = -1;
    while (!within(branch, to)) {
        const int owner = branches[size_t(branch)].owner;
        if (owner < 0)
            return;
        if (to == owner) {
            // Back up to the box: in from below, between two of its branches, from either.
            for (size_t w = firstWish; w < m_wishes.size(); ++w)
                m_wishes[w].kind = Wish::Out;
            return;
        }
        if (to > owner && to <= m_boxEnd[size_t(owner)]) {
            judge = owner;
            fromBranch = branch;
            break;
        }
        m_wishes.push_back({owner, branch, Wish::Out, -1, -1, -1});
        top = owner;
        branch = boxes[size_t(owner)].branch;
    }
    // Up from the target the same way.
    const size_t firstTargetWish = m_wishes.size();
    int toBranch = boxes[size_t(to)].branch;
    for (int at = to; judge >= 0 ? branches[size_t(toBranch)].owner != judge : toBranch != branch;
         toBranch = boxes[size_t(at)].branch) {
        at = branches[size_t(toBranch)].owner;
        m_wishes.push_back({at, toBranch, Wish::Out, -1, -1, -1});
    }
    if (judge >= 0) {
        // Two branches of one box: each end's boxes wish to leave towards the other.
        m_wishes.push_back({judge, fromBranch, Wish::Sibling, toBranch, -1, -1});
        for (size_t w = firstWish; w < firstTargetWish; ++w) {
            m_wishes[w].kind = Wish::Beside;
            m_wishes[w].judge = judge;
            m_wishes[w].other = toBranch;
            m_wishes[w].own = fromBranch;
        }
        for (size_t w = firstTargetWish; w + 1 < m_wishes.size(); ++w) {
            m_wishes[w].kind = Wish::Beside;
            m_wishes[w].judge = judge;
            m_wishes[w].other = fromBranch;
            m_wishes[w].own = toBranch;
        }
        return;
    }
    // Both ends in one branch: a box of the branch itself is met on either side; one under
    // another box of the branch stands to the right of the branch's line, under which its
    // boxes hang.
    const bool toOnLine = boxes[size_t(to)].branch == branch;
    const bool fromOnLine = top == from;
    for (size_t w = firstWish; w < firstTargetWish; ++w)
        m_wishes[w].kind = toOnLine ? Wish::Out : Wish::Right;
    for (size_t w = firstTargetWish; w < m_wishes.size(); ++w)
        m_wishes[w].kind = fromOnLine ? Wish::Out : Wish::Right;
}

void FlowBranchOrder::choose(int box, const Wish *first, const Wish *last)
{
    int *begin = m_order.data() + m_start[size_t(box)];
    int *end = m_order.data() + m_start[size_t(box) + 1];
    std::vector<int> columns; // the branches in columns, by their places
    for (int *branch = begin; branch != end; ++branch) {
        if (m_takesColumns[size_t(*branch)])
            columns.push_back(*branch);
    }
    const int k = int(columns.size());
    if (k < 2)
        return;
    auto indexOf = [&columns](int branch) {
        return int(std::find(columns.begin(), columns.end(), branch) - columns.begin());
    };
    // Per pair of branches the gotos between them; per branch those that leave to the left,
    // to the right, to either side.
    std::vector<int> between(size_t(k * k), 0);
    std::vector<int> left(size_t(k), 0);
    std::vector<int> right(size_t(k), 0);
    std::vector<int> out(size_t(k), 0);
    for (const Wish *wish = first; wish != last; ++wish) {
        const int i = indexOf(wish->branch);
        if (i == k)
            continue;
        switch (wish->kind) {
        case Wish::Sibling: {
            const int j = indexOf(wish->other);
            if (j < k) {
                ++between[size_t(i * k + j)];
                ++between[size_t(j * k + i)];
            }
            break;
        }
        case Wish::Out:
            ++out[size_t(i)];
            break;
        case Wish::Right:
            ++right[size_t(i)];
            break;
        case Wish::Beside:
            ++(m_place[size_t(wish->other)] < m_place[size_t(wish->own)] ? left : right)[size_t(i)];
            break;
        }
    }
    // The lines crossed with branch i at place[i].
    auto crossings = [&](const std::vector<int> &place) {
        int count = 0;
        for (int i = 0; i < k; ++i) {
            const int at = place[size_t(i)];
            count += left[size_t(i)] * at + right[size_t(i)] * (k - 1 - at) +
                     out[size_t(i)] * std::min(at, k - 1 - at);
            for (int j = i + 1; j < k; ++j)
                count += between[size_t(i * k + j)] * (std::abs(at - place[size_t(j)]) - 1);
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
    int bestCrossings = crossings(place);
    if (bestCrossings == 0)
        return;
    if (k <= kEveryOrder) {
        int bestMoved = 0;
        while (std::next_permutation(place.begin(), place.end())) {
            const int count = crossings(place);
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
        for (bool better = true; better;) {
            better = false;
            for (int p = 0; p + 1 < k; ++p) {
                // Swap the branches at places p and p + 1.
                const int a = int(std::find(best.begin(), best.end(), p) - best.begin());
                const int b = int(std::find(best.begin(), best.end(), p + 1) - best.begin());
                std::swap(best[size_t(a)], best[size_t(b)]);
                const int count = crossings(best);
                if (count < bestCrossings) {
                    bestCrossings = count;
                    better = true;
                } else {
                    std::swap(best[size_t(a)], best[size_t(b)]);
                }
            }
        }
    }
    // The branches in columns take the places the columns held, in the order chosen.
    std::vector<int> ordered(columns.size());
    for (int i = 0; i < k; ++i)
        ordered[size_t(best[size_t(i)])] = columns[size_t(i)];
    int next = 0;
    for (int *branch = begin; branch != end; ++branch) {
        if (m_takesColumns[size_t(*branch)])
            *branch = ordered[size_t(next++)];
        m_place[size_t(*branch)] = int(branch - begin);
    }
}
