#include "flow_router.h"

#include "flow_layout.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <functional>
#include <limits>
#include <numeric>
#include <tuple>

namespace {

// Where goto stubs meet a box's side, from its top: the right side's heights and the left
// side's differ, so that the stubs of two neighbouring boxes in a row never run on one line.
// Every box has room for four on each side; one with more gotos leaving it is taller.
constexpr double kRightSide = 14;
constexpr double kLeftSide = 11;
constexpr double kSideStep = 6;
constexpr int kSideSlots = 4;
constexpr double kBrokenFirst = 36;
constexpr double kBrokenStep = 4;
// How much length a goto would go round to cross one line less, tried in turn until the way
// is not far out of the way; and to turn once less.
constexpr double kCrossingCosts[] = {1600, 400, 120, 0};
constexpr double kLargeCrossingCost = 400;
constexpr size_t kSmallSearch = 2000;
constexpr double kBendCost = 12;
// A stub whose run stays within a goto's rows is passed on its outside when the tracks allow.
constexpr double kInsideStub = 0.5;
// A goto is searched a way within this many places; one across much of a large map goes
// directly.
constexpr size_t kSearchedPlaces = 6000;
// A way may end at either side of its target, or below it.
constexpr int kAnyEnd = -1;
constexpr int kBelow = -2;

constexpr double kBoxWidth = FlowLayout::kBoxWidth;

} // namespace

FlowRouter::Axis FlowRouter::Axis::lay(const std::vector<double> &cells,
                                       const std::function<double(int)> &channelSize)
{
    Axis axis;
    double at = FlowLayout::kMargin;
    for (size_t k = 0; k <= cells.size(); ++k) {
        axis.channelStart.push_back(at);
        axis.channelSize.push_back(channelSize(int(k)));
        at += axis.channelSize.back();
        if (k < cells.size()) {
            axis.cellStart.push_back(at);
            at += cells[k];
        }
    }
    axis.end = at;
    return axis;
}

FlowRouter::FlowRouter(const FlowGraph &graph, const FlowGrid &grid) : m_graph(graph), m_grid(grid)
{
    for (int c = 0; c < grid.columns(); ++c)
        m_columnWidths.push_back(grid.columnWidth(c));
    // Before any channel widens: the outer ones as if they held a track, the others their gap.
    const Axis across = Axis::lay(m_columnWidths, [&grid](int gutter) {
        return gutter == 0 || gutter == grid.columns() ? 2 * FlowLayout::kTrackStep
                                                       : FlowLayout::kColumnGap;
    });
    const Axis down = Axis::lay(grid.rowHeights, [&grid](int strip) {
        return strip == 0 || strip == grid.rows() ? 2 * FlowLayout::kTrackStep
                                                  : FlowLayout::kRowGap;
    });
    for (size_t g = 0; g < across.channelStart.size(); ++g)
        m_roughGutter.push_back(across.channelStart[g] + across.channelSize[g] / 2);
    for (size_t c = 0; c < across.cellStart.size(); ++c)
        m_roughColumn.push_back(across.cellStart[c] + m_columnWidths[c] / 2);
    for (size_t r = 0; r < down.channelStart.size(); ++r)
        m_roughStrip.push_back(down.channelStart[r] + down.channelSize[r] / 2);
    m_roughRow = down.cellStart;
    for (const FlowGrid::Box &box : grid.boxes) {
        for (int g = box.first + 1; g <= box.last; ++g)
            m_places[key(g, 2 * box.row + 1)].closed = true;
    }
}

double FlowRouter::xKey(const Place &x) const
{
    if (x.kind == Place::Gutter)
        return 2.0 * x.index;
    return 2.0 * x.index + 1 + 0.98 * x.offset / m_grid.columnWidth(x.index);
}

double FlowRouter::yKey(const Place &y) const
{
    if (y.kind == Place::Strip)
        return 2.0 * y.index;
    return 2.0 * y.index + 1 + 0.98 * (y.offset / m_grid.rowHeights[size_t(y.index)] - 0.5);
}

int FlowRouter::addStretch(bool vertical, int channel, int net, FlowTracks::End a,
                           FlowTracks::End b)
{
    if (!vertical && !m_weighing) {
        for (int g = int(std::floor(std::min(a.key, b.key) / 2)) + 1;
             2 * g < std::max(a.key, b.key); ++g)
            m_horizontals.push_back({g, channel});
    }
    return m_tracks.add(vertical, channel, net, a, b);
}

bool FlowRouter::blocked(int gutter, int level) const
{
    const Crossed *place = level % 2 == 1 ? placeAt(gutter, level) : nullptr;
    return place && place->closed;
}

void FlowRouter::descend(const Place &x, int fromRow, double fromY, int to)
{
    const int toRow = m_grid.boxes[size_t(to)].row;
    const int toColumn = m_grid.boxes[size_t(to)].column;
    point(x, row(fromRow, fromY));
    for (int passed = fromRow + 1; passed < toRow; ++passed)
        noteVertical(passed, x.index);
    noteVertical(toRow, x.index);
    if (x.index == toColumn && std::abs(x.offset) < 0.5) {
        point(x, row(toRow, 0));
        return;
    }
    const int along =
        addStretch(false, toRow, to, {xKey(x), true}, {xKey(column(toColumn)), false});
    point(x, strip(toRow, along));
    point(column(toColumn), strip(toRow, along));
    point(column(toColumn), row(toRow, 0));
    noteVertical(toRow, toColumn);
}

double FlowRouter::sideX(int box, int gutter) const
{
    const FlowGrid::Box &at = m_grid.boxes[size_t(box)];
    return gutter == at.first ? m_roughColumn[size_t(at.first)] - m_grid.columnWidth(at.first) / 2
                              : m_roughColumn[size_t(at.last)] + m_grid.columnWidth(at.last) / 2;
}

FlowRouter::Place FlowRouter::sidePlace(int box, int gutter) const
{
    const FlowGrid::Box &at = m_grid.boxes[size_t(box)];
    return gutter == at.first ? column(at.first, -m_grid.columnWidth(at.first) / 2)
                              : column(at.last, m_grid.columnWidth(at.last) / 2);
}

bool FlowRouter::entersFromBelow(int to, int gutter) const
{
    const FlowGrid::Box &target = m_grid.boxes[size_t(to)];
    return gutter > target.first && gutter <= target.last;
}

double FlowRouter::levelY(int level) const
{
    if (level % 2 == 0)
        return m_roughStrip[size_t(level / 2)];
    const size_t at = size_t(level / 2);
    return m_roughRow[at] + m_grid.rowHeights[at] / 2;
}

std::vector<FlowRouter::Node> FlowRouter::findWay(int from, int to, int firstGutter, int lastGutter,
                                                  double crossingCost, int onlyStart,
                                                  int onlyEnd) const
{
    const FlowGrid::Box &source = m_grid.boxes[size_t(from)];
    const FlowGrid::Box &target = m_grid.boxes[size_t(to)];
    const int gutters = lastGutter + 1 - firstGutter;
    const int firstRow = std::min(source.row, target.row);
    const int rows = std::max(source.row, target.row) + 1 - firstRow;
    const int firstLevel = 2 * firstRow;
    const int levels = 2 * rows + 1;

    // What each place of the rectangle weighs, looked up once: where the levels lie, the lines
    // across each strip's columns, along each strip across each gutter, the gotos down each
    // gutter, the stubs meeting it at each row, and the gutters wide choices close.
    // The search's tables live on between searches: a map lays out thousands of gotos.
    // The ways a goto tries in one rectangle weigh its places alike: they are filled once.
    Search &search = m_search;
    std::vector<double> &levelAt = search.levelAt;
    const size_t columns = size_t(gutters - 1);
    std::vector<int> &verticalsAt = search.verticalsAt;
    std::vector<int> &acrossAt = search.acrossAt;
    std::vector<int> &downAt = search.downAt;
    std::vector<double> &stubsAt = search.stubsAt;
    std::vector<char> &closedAt = search.closedAt;
    const std::array<int, 5> filledFor{firstGutter, lastGutter, firstRow, rows, to};
    const bool filled = search.filledFor == filledFor && search.filledAt == m_noted;
    search.filledFor = filledFor;
    search.filledAt = m_noted;
    if (!filled) {
        levelAt.assign(size_t(levels), 0);
        for (int l = 0; l < levels; ++l)
            levelAt[size_t(l)] = levelY(firstLevel + l);
        verticalsAt.assign(size_t(rows + 1) * columns, 0);
        acrossAt.assign(size_t(gutters) * size_t(rows + 1), 0);
        downAt.assign(acrossAt.size(), 0);
        stubsAt.assign(size_t(gutters) * size_t(rows), 0);
        closedAt.assign(stubsAt.size(), 0);
        for (int s = 0; s <= rows; ++s) {
            for (auto at = std::lower_bound(m_verticals.begin(), m_verticals.end(),
                                            std::make_pair(firstRow + s, firstGutter));
                 at != m_verticals.end() && at->first == firstRow + s && at->second < lastGutter;
                 ++at)
                ++verticalsAt[size_t(s) * columns + size_t(at->second - firstGutter)];
        }
        for (int g = 0; g < gutters; ++g) {
            const int gutter = firstGutter + g;
            for (auto at = std::lower_bound(m_horizontals.begin(), m_horizontals.end(),
                                            std::make_pair(gutter, firstRow));
                 at != m_horizontals.end() && at->first == gutter && at->second <= firstRow + rows;
                 ++at)
                ++acrossAt[size_t(g) * size_t(rows + 1) + size_t(at->second - firstRow)];
            for (int l = 0; l < levels; ++l) {
                const Crossed *crossed = placeAt(gutter, firstLevel + l);
                if (!crossed)
                    continue;
                if (l % 2 == 0) {
                    const size_t place = size_t(g) * size_t(rows + 1) + size_t(l / 2);
                    acrossAt[place] += crossed->across;
                    downAt[place] = crossed->down;
                } else {
                    const size_t place = size_t(g) * size_t(rows) + size_t(l / 2);
                    stubsAt[place] =
                        crossedStubs(*crossed, to, firstLevel, firstLevel + levels - 1);
                    closedAt[place] = crossed->closed;
                }
            }
        }
    }
    auto stripPlace = [&](int gutter, int level) {
        return size_t(gutter - firstGutter) * size_t(rows + 1) + size_t((level - firstLevel) / 2);
    };
    auto rowPlace = [&](int gutter, int level) {
        return size_t(gutter - firstGutter) * size_t(rows) + size_t((level - firstLevel) / 2);
    };

    // States: a place and how the way came there: out of the source's side, up or down a
    // gutter, or along a strip it entered going up or going down.
    enum Came { Out, Up, Down, AcrossUp, AcrossDown, Ways };
    auto state = [&](int gutter, int level, int came) {
        return (size_t(gutter - firstGutter) * size_t(levels) + size_t(level - firstLevel)) * Ways +
               size_t(came);
    };
    std::vector<double> &cost = search.cost;
    std::vector<int> &previous = search.previous;
    cost.assign(size_t(gutters) * size_t(levels) * Ways, std::numeric_limits<double>::infinity());
    previous.assign(cost.size(), -1);
    std::vector<Search::Entry> &open = search.open;
    open.clear();
    auto push = [&open](double guess, size_t at) {
        open.push_back({guess, at});
        std::push_heap(open.begin(), open.end(), std::greater<>());
    };
    // The length still to go at least: the search looks at the ways towards the target first.
    const int sideLevel = 2 * target.row + 1;
    const double targetY = levelAt[size_t(sideLevel - firstLevel)];
    const double targetLeft = m_roughGutter[size_t(target.first)];
    const double targetRight = m_roughGutter[size_t(target.last + 1)];
    auto estimate = [&](int gutter, int level) {
        const double x = m_roughGutter[size_t(gutter)];
        return std::abs(levelAt[size_t(level - firstLevel)] - targetY) +
               std::max({0.0, targetLeft - x, x - targetRight});
    };
    for (const int gutter : {source.first, source.last + 1}) {
        if (onlyStart >= 0 && gutter != onlyStart)
            continue;
        const size_t at = state(gutter, 2 * source.row + 1, Out);
        cost[at] = std::abs(m_roughGutter[size_t(gutter)] - sideX(from, gutter));
        push(cost[at] + estimate(gutter, 2 * source.row + 1), at);
    }
    // A way that leaves a strip on the side it entered from crosses the lines along it: those
    // across the gutter where it leaves, and the gotos passing there.
    auto crossingStrip = [&](int gutter, int level) {
        return crossingCost * acrossAt[stripPlace(gutter, level)];
    };
    const double bottom = m_roughRow[size_t(target.row)] + target.height;
    double best = std::numeric_limits<double>::infinity();
    size_t bestState = 0;
    while (!open.empty()) {
        std::pop_heap(open.begin(), open.end(), std::greater<>());
        const auto [guess, at] = open.back();
        open.pop_back();
        const int came = int(at % Ways);
        const int level = int((at / Ways) % size_t(levels)) + firstLevel;
        const int gutter = int(at / Ways / size_t(levels)) + firstGutter;
        const double spent = cost[at];
        if (guess > spent + estimate(gutter, level) + 1e-9)
            continue; // a cheaper way came here since
        if (guess >= best)
            break;
        const bool onStrip = level % 2 == 0;
        const bool along = came == AcrossUp || came == AcrossDown;
        double finish = std::numeric_limits<double>::infinity();
        const bool wanted = onlyEnd == kAnyEnd || onlyEnd == gutter ||
                            (onlyEnd == kBelow && entersFromBelow(to, gutter));
        if (wanted && level == sideLevel && (gutter == target.first || gutter == target.last + 1) &&
            came != AcrossUp && came != AcrossDown)
            finish = std::abs(m_roughGutter[size_t(gutter)] - sideX(to, gutter));
        else if (wanted && level == sideLevel + 1 && entersFromBelow(to, gutter) && came != Down)
            finish = levelAt[size_t(level - firstLevel)] - bottom + (along ? kBendCost : 0) +
                     (came == Up || came == AcrossUp ? crossingStrip(gutter, level) : 0);
        if (spent + finish < best) {
            best = spent + finish;
            bestState = at;
        }
        auto reach = [&](int nextGutter, int nextLevel, int nextCame, double step) {
            if (nextGutter < firstGutter || nextGutter >= firstGutter + gutters ||
                nextLevel < firstLevel || nextLevel >= firstLevel + levels ||
                (nextLevel % 2 == 1 && closedAt[rowPlace(nextGutter, nextLevel)]))
                return;
            const bool turns = (nextCame == AcrossUp || nextCame == AcrossDown) != along;
            if (came != Out && turns)
                step += kBendCost;
            const size_t next = state(nextGutter, nextLevel, nextCame);
            if (spent + step < cost[next]) {
                cost[next] = spent + step;
                previous[next] = int(at);
                push(cost[next] + estimate(nextGutter, nextLevel), next);
            }
        };
        for (const int direction : {-1, 1}) {
            // Along the gutter, never straight back.
            const bool up = direction < 0;
            if ((came == Up && !up) || (came == Down && up) || level + direction < firstLevel ||
                level + direction >= firstLevel + levels)
                continue;
            double step = std::abs(levelAt[size_t(level + direction - firstLevel)] -
                                   levelAt[size_t(level - firstLevel)]);
            const bool onward = came == (up ? Up : Down) || came == (up ? AcrossUp : AcrossDown);
            if (onStrip && onward)
                step += crossingStrip(gutter, level);
            else if (!onStrip && came != Out)
                step += crossingCost * stubsAt[rowPlace(gutter, level)];
            reach(gutter, level + direction, up ? Up : Down, step);
        }
        if (!onStrip || came == Out)
            continue;
        for (const int direction : {-1, 1}) {
            // Along the strip, over the column between two gutters; straight on through a
            // gutter it crosses the gotos running down there.
            const int over = direction < 0 ? gutter - 1 : gutter;
            if (over < firstGutter || over >= lastGutter)
                continue;
            double step = std::abs(m_roughGutter[size_t(gutter + direction)] -
                                   m_roughGutter[size_t(gutter)]) +
                          crossingCost * verticalsAt[size_t((level - firstLevel) / 2) * columns +
                                                     size_t(over - firstGutter)];
            if (along)
                step += crossingCost * downAt[stripPlace(gutter, level)];
            const bool goingUp = came == Up || came == AcrossUp;
            reach(gutter + direction, level, goingUp ? AcrossUp : AcrossDown, step);
        }
    }
    std::vector<Node> way;
    if (best == std::numeric_limits<double>::infinity())
        return way;
    for (int at = int(bestState); at >= 0; at = previous[size_t(at)])
        way.push_back({int(size_t(at) / Ways / size_t(levels)) + firstGutter,
                       int((size_t(at) / Ways) % size_t(levels)) + firstLevel});
    std::reverse(way.begin(), way.end());
    // A way in from below ends at the box's row, so that its last run goes up into the box.
    if (way.back().level == sideLevel + 1)
        way.push_back({way.back().gutter, sideLevel});
    return way;
}

std::vector<FlowRouter::Node> FlowRouter::directWay(int from, int to) const
{
    const FlowGrid::Box &source = m_grid.boxes[size_t(from)];
    const FlowGrid::Box &target = m_grid.boxes[size_t(to)];
    // Out of the side facing the target, unless a wide choice closes that gutter on the way.
    auto open = [this, &source, &target](int gutter) {
        for (int level = 2 * std::min(source.row, target.row) + 1;
             level < 2 * std::max(source.row, target.row) + 2; level += 2) {
            if (blocked(gutter, level))
                return false;
        }
        return true;
    };
    int fromGutter = target.column >= source.column ? source.last + 1 : source.first;
    if (!open(fromGutter))
        fromGutter = fromGutter == source.first ? source.last + 1 : source.first;
    const int toGutter = target.column > source.column ? target.first : target.last + 1;
    std::vector<Node> way{{fromGutter, 2 * source.row + 1}};
    auto walk = [&way](int gutter, int level) {
        while (way.back().level != level)
            way.push_back({gutter, way.back().level + (level > way.back().level ? 1 : -1)});
    };
    if (fromGutter != toGutter) {
        const int along = 2 * (target.row < source.row ? target.row + 1 : target.row);
        walk(fromGutter, along);
        while (way.back().gutter != toGutter)
            way.push_back({way.back().gutter + (toGutter > fromGutter ? 1 : -1), along});
    }
    walk(toGutter, 2 * target.row + 1);
    return way;
}

double FlowRouter::roughDetour(const std::vector<Node> &way, int from, int to) const
{
    const double startX = sideX(from, way.front().gutter);
    const bool below = entersFromBelow(to, way.back().gutter);
    const double endX =
        below ? m_roughGutter[size_t(way.back().gutter)] : sideX(to, way.back().gutter);
    double length = std::abs(m_roughGutter[size_t(way.front().gutter)] - startX) +
                    std::abs(m_roughGutter[size_t(way.back().gutter)] - endX);
    for (size_t i = 1; i < way.size(); ++i)
        length += std::abs(m_roughGutter[size_t(way[i].gutter)] -
                           m_roughGutter[size_t(way[i - 1].gutter)]) +
                  std::abs(levelY(way[i].level) - levelY(way[i - 1].level));
    return length - std::abs(startX - endX) -
           std::abs(levelY(way.front().level) - levelY(way.back().level));
}

std::vector<FlowRouter::Node> FlowRouter::chooseWay(int from, int to) const
{
    const FlowGrid::Box &source = m_grid.boxes[size_t(from)];
    const FlowGrid::Box &target = m_grid.boxes[size_t(to)];
    // Within the rectangle of the two boxes; where wide choices close it, across the map.
    const size_t levels = size_t(2 * std::abs(source.row - target.row) + 3);
    std::vector<Node> way;
    for (const auto &[firstGutter, lastGutter] :
         {std::make_pair(std::min(source.first, target.first),
                         std::max(source.last, target.last) + 1),
          std::make_pair(0, m_grid.columns())}) {
        if (size_t(lastGutter - firstGutter + 1) * levels > kSearchedPlaces)
            break;
        const size_t places = size_t(lastGutter - firstGutter + 1) * levels;
        for (const double crossingCost : kCrossingCosts) {
            // A crossing weighs much against length where the search is small; in a large
            // rectangle so heavy a weight would have the search look at nearly every place.
            if (crossingCost > kLargeCrossingCost && places > kSmallSearch)
                continue;
            way = findWay(from, to, firstGutter, lastGutter, crossingCost, -1, kAnyEnd);
            if (way.empty() || roughDetour(way, from, to) <= kBoxWidth)
                break;
        }
        if (!way.empty() && roughDetour(way, from, to) > kBoxWidth) {
            // The shortest way may come round to the far side of a box: the least detour of
            // each pair of sides.
            for (const int start : {source.first, source.last + 1}) {
                for (const int end : {target.first, target.last + 1, kBelow}) {
                    std::vector<Node> other =
                        findWay(from, to, firstGutter, lastGutter, 0, start, end);
                    if (!other.empty() && roughDetour(other, from, to) < roughDetour(way, from, to))
                        way = std::move(other);
                }
            }
        }
        if (!way.empty())
            break;
    }
    if (way.empty())
        way = directWay(from, to);
    return way;
}

void FlowRouter::noteStub(int gutter, int level, const Stub &stub, int count)
{
    std::vector<Stub> &stubs = m_places[key(gutter, level)].stubs;
    if (count > 0) {
        stubs.push_back(stub);
        return;
    }
    const auto found = std::find_if(stubs.begin(), stubs.end(), [&stub](const Stub &other) {
        return other.to == stub.to && other.reach == stub.reach && other.entry == stub.entry;
    });
    if (found != stubs.end())
        stubs.erase(found);
}

double FlowRouter::crossedStubs(const Crossed &place, int to, int firstLevel, int lastLevel) const
{
    // A way along the gutter between firstLevel and lastLevel passes inside a stub whose run
    // stays between them, and crosses the others: each goto's stub out, and the one stub of
    // all the gotos into that side of the box (gotos into one box join there). A way to the
    // same box joins its stubs.
    double crossed = 0;
    const std::vector<Stub> &stubs = place.stubs;
    for (auto stub = stubs.begin(); stub != stubs.end(); ++stub) {
        if (stub->to == to && to >= 0)
            continue;
        if (stub->entry && std::any_of(stubs.begin(), stub, [&stub](const Stub &other) {
                return other.entry && other.to == stub->to;
            }))
            continue;
        const bool outside = stub->to < 0 || stub->reach < firstLevel || stub->reach > lastLevel;
        crossed += outside ? 1 : kInsideStub;
    }
    return crossed;
}

void FlowRouter::noteWay(const std::vector<Node> &way, int from, int to, int count)
{
    ++m_noted;
    // What other gotos cross: this one's runs where they pass a place straight, and its stubs.
    for (size_t i = 1; i + 1 < way.size(); ++i) {
        const bool down = way[i - 1].gutter == way[i].gutter;
        if (down == (way[i + 1].gutter == way[i].gutter))
            (down ? m_places[key(way[i].gutter, way[i].level)].down
                  : m_places[key(way[i].gutter, way[i].level)].across) += count;
    }
    // The stubs, each with the far end of its run along the gutter.
    size_t turn = 1;
    while (turn < way.size() && way[turn].gutter == way.front().gutter)
        ++turn;
    noteStub(way.front().gutter, way.front().level, {to, way[turn - 1].level, false}, count);
    if (!entersFromBelow(to, way.back().gutter)) {
        turn = way.size() - 1;
        while (turn > 0 && way[turn - 1].gutter == way.back().gutter)
            --turn;
        noteStub(way.back().gutter, way.back().level, {to, way[turn].level, true}, count);
    }
}

std::vector<std::pair<double, double>>
FlowRouter::sideHeights(const std::vector<std::vector<Node>> &ways,
                        const std::vector<size_t> &gotos) const
{
    // A stub runs from a box's side to its track in the gutter, then up or down it. Two stubs
    // on one side cross unless the one running up stands above the one running down, and of
    // two running the same way the one going further stands where its track can pass the
    // other's stub on the outside. Gotos into one box join: one stub per side.
    struct Stub
    {
        int box;
        bool right;
        int way; // running up 0, straight across 1, down 2
        double reach;
        size_t got;
        bool entry;
    };
    std::vector<Stub> stubs;
    const std::vector<FlowGraph::Edge> &edges = m_graph.edges();
    auto runWay = [](int from, int to) { return to < from ? 0 : to > from ? 2 : 1; };
    for (size_t i = 0; i < ways.size(); ++i) {
        const std::vector<Node> &way = ways[i];
        const int from = edges[gotos[i]].from;
        const int to = edges[gotos[i]].to;
        size_t turn = 1;
        while (turn < way.size() && way[turn].gutter == way.front().gutter)
            ++turn;
        const int outLevel = way[turn - 1].level;
        stubs.push_back({from, way.front().gutter == m_grid.boxes[size_t(from)].last + 1,
                         runWay(way.front().level, outLevel), levelY(outLevel), i, false});
        if (entersFromBelow(to, way.back().gutter))
            continue;
        turn = way.size() - 1;
        while (turn > 0 && way[turn - 1].gutter == way.back().gutter)
            --turn;
        const int inLevel = way[turn].level;
        stubs.push_back({to, way.back().gutter == m_grid.boxes[size_t(to)].last + 1,
                         runWay(way.back().level, inLevel), levelY(inLevel), i, true});
    }
    std::sort(stubs.begin(), stubs.end(), [](const Stub &a, const Stub &b) {
        return std::make_tuple(a.box, a.right, a.entry, a.way, -a.reach) <
               std::make_tuple(b.box, b.right, b.entry, b.way, -b.reach);
    });
    // The gotos into one side as one stub: running up or down when all do, else across.
    std::vector<Stub> sides;
    std::vector<size_t> sideOfStub(stubs.size());
    for (size_t s = 0; s < stubs.size(); ++s) {
        const Stub &stub = stubs[s];
        if (stub.entry && !sides.empty() && sides.back().entry && sides.back().box == stub.box &&
            sides.back().right == stub.right) {
            if (sides.back().way != stub.way)
                sides.back().way = 1;
        } else {
            sides.push_back(stub);
        }
        sideOfStub[s] = sides.size() - 1;
    }
    std::vector<size_t> bySlot(sides.size());
    std::iota(bySlot.begin(), bySlot.end(), 0);
    std::stable_sort(bySlot.begin(), bySlot.end(), [&sides](size_t a, size_t b) {
        return std::make_tuple(sides[a].box, sides[a].right, sides[a].way, -sides[a].reach) <
               std::make_tuple(sides[b].box, sides[b].right, sides[b].way, -sides[b].reach);
    });
    std::vector<double> sideY(sides.size());
    for (size_t s = 0, slot = 0; s < bySlot.size(); ++s) {
        const Stub &side = sides[bySlot[s]];
        slot = s > 0 && sides[bySlot[s - 1]].box == side.box &&
                       sides[bySlot[s - 1]].right == side.right
                   ? slot + 1
                   : 0;
        sideY[bySlot[s]] = slot < size_t(kSideSlots)
                               ? (side.right ? kRightSide : kLeftSide) + kSideStep * double(slot)
                               : FlowLayout::kExitsBelow + 1 +
                                     FlowLayout::kExitRow * double(slot - size_t(kSideSlots)) +
                                     (side.right ? 0 : FlowLayout::kExitRow / 2);
    }
    std::vector<std::pair<double, double>> heights(ways.size());
    for (size_t s = 0; s < stubs.size(); ++s) {
        (stubs[s].entry ? heights[stubs[s].got].second : heights[stubs[s].got].first) =
            sideY[sideOfStub[s]];
    }
    return heights;
}

void FlowRouter::routeWay(const std::vector<Node> &way, int from, int to, double exitY,
                          double entryY)
{
    const FlowGrid::Box &source = m_grid.boxes[size_t(from)];
    const FlowGrid::Box &target = m_grid.boxes[size_t(to)];
    const int fromGutter = way.front().gutter;
    const int toGutter = way.back().gutter;
    const bool below = entersFromBelow(to, toGutter);
    const bool outRight = fromGutter == source.last + 1;
    const bool inRight = toGutter == target.last + 1;
    const Place startY = row(source.row, exitY);
    const Place endY = row(target.row, below ? target.height : entryY);
    // Runs of the way along one gutter or one strip; the first and the last along a gutter.
    struct Run
    {
        bool vertical;
        size_t first;
        size_t last;
        int stretch = -1;
    };
    std::vector<Run> runs;
    for (size_t i = 1; i < way.size(); ++i) {
        const bool vertical = way[i].gutter == way[i - 1].gutter;
        if (runs.empty() || runs.back().vertical != vertical)
            runs.push_back({vertical, i - 1, i});
        else
            runs.back().last = i;
    }
    if (runs.empty())
        runs.push_back({true, 0, 0});
    for (size_t r = 0; r < runs.size(); ++r) {
        Run &run = runs[r];
        const Node &first = way[run.first];
        const Node &last = way[run.last];
        if (run.vertical) {
            // A gutter end turns before (left) towards a box or a strip run on its left.
            const FlowTracks::End start =
                r == 0 ? FlowTracks::End{yKey(startY), outRight}
                       : FlowTracks::End{double(first.level),
                                         way[run.first - 1].gutter < first.gutter};
            const FlowTracks::End end =
                r + 1 == runs.size()
                    ? FlowTracks::End{yKey(endY), inRight && !below}
                    : FlowTracks::End{double(last.level), way[run.last + 1].gutter < last.gutter};
            // Gotos into one box join where they run along one gutter or strip.
            run.stretch = addStretch(true, first.gutter, to, start, end);
        } else {
            run.stretch = addStretch(false, first.level / 2, to,
                                     {2.0 * first.gutter, way[run.first - 1].level < first.level},
                                     {2.0 * last.gutter, way[run.last + 1].level < last.level});
        }
    }
    point(sidePlace(from, fromGutter), startY);
    point(gutter(fromGutter, runs.front().stretch), startY);
    for (size_t r = 1; r < runs.size(); ++r) {
        const Run &vertical = runs[r].vertical ? runs[r] : runs[r - 1];
        const Run &across = runs[r].vertical ? runs[r - 1] : runs[r];
        const Node &corner = way[runs[r].first];
        point(gutter(corner.gutter, vertical.stretch), strip(corner.level / 2, across.stretch));
    }
    point(gutter(toGutter, runs.back().stretch), endY);
    if (!below)
        point(sidePlace(to, toGutter), endY);
}

void FlowRouter::routeAll()
{
    const std::vector<FlowGraph::Edge> &edges = m_graph.edges();
    m_spans.resize(edges.size());
    auto record = [this](size_t e, auto route) {
        m_spans[e].first = int(m_pending.size());
        route();
        m_spans[e].count = int(m_pending.size()) - m_spans[e].first;
    };
    m_pending.reserve(4 * edges.size() + m_graph.ends().size());
    // The arrows down first: the gotos weigh their ways by the lines these draw.
    std::vector<size_t> across;
    int brokenOfBox = 0;
    for (size_t e = 0; e < edges.size(); ++e) {
        const FlowGraph::Edge &edge = edges[e];
        const FlowGrid::Box &box = m_grid.boxes[size_t(edge.from)];
        brokenOfBox = e > 0 && edges[e - 1].from == edge.from ? brokenOfBox : 0;
        switch (edge.kind) {
        case FlowGraph::EdgeKind::Next:
            // A box with dialogs under it has them below; only a malformed tree leads back up.
            if (m_grid.boxes[size_t(edge.to)].row > box.row &&
                m_graph.boxes()[size_t(edge.from)].firstBranch < 0)
                record(e, [this, &edge, &box] {
                    descend(column(box.column), box.row, box.height, edge.to);
                });
            else
                across.push_back(e);
            break;
        case FlowGraph::EdgeKind::Answer:
            record(e, [this, &edge, &box] {
                const FlowGrid::Port &port = m_grid.port(edge.from, edge.port);
                const Place start = column(port.column, port.offset);
                if (port.lane < 0 || m_grid.boxes[size_t(edge.to)].row == box.row + 1) {
                    descend(start, box.row, box.height, edge.to);
                    return;
                }
                // Along the strip below into the answer's lane, then down the lane.
                const int into = addStretch(false, box.row + 1, -1, {xKey(start), true},
                                            {xKey(column(port.lane)), false});
                point(start, row(box.row, box.height));
                point(start, strip(box.row + 1, into));
                noteVertical(box.row + 1, port.column);
                const size_t turn = m_pending.size();
                descend(column(port.lane), box.row, 0, edge.to);
                m_pending[turn].y = strip(box.row + 1, into);
            });
            break;
        case FlowGraph::EdgeKind::Goto:
            across.push_back(e);
            break;
        case FlowGraph::EdgeKind::Broken: {
            const double y = std::min(box.height - 3, kBrokenFirst + kBrokenStep * brokenOfBox++);
            noteStub(box.last + 1, 2 * box.row + 1, {-1, -1, false}, 1);
            record(e, [this, &box, y] {
                const double side = m_grid.columnWidth(box.last) / 2;
                point(column(box.last, side), row(box.row, y));
                point(column(box.last, side + FlowLayout::kColumnGap / 2), row(box.row, y));
            });
            break;
        }
        }
    }
    std::sort(m_verticals.begin(), m_verticals.end());
    std::sort(m_horizontals.begin(), m_horizontals.end());
    m_weighing = true;
    // The longest gotos choose first; then each chooses again, knowing all the others.
    auto span = [this, &edges](size_t e) {
        return std::abs(m_grid.boxes[size_t(edges[e].from)].row -
                        m_grid.boxes[size_t(edges[e].to)].row);
    };
    std::stable_sort(across.begin(), across.end(),
                     [&span](size_t a, size_t b) { return span(a) > span(b); });
    std::vector<std::vector<Node>> ways(across.size());
    for (size_t i = 0; i < across.size(); ++i) {
        const FlowGraph::Edge &edge = edges[across[i]];
        ways[i] = chooseWay(edge.from, edge.to);
        noteWay(ways[i], edge.from, edge.to, 1);
    }
    // Only ways whose rectangles meet another's can cross a goto chosen after them.
    struct Extent
    {
        int top, bottom, left, right;
        size_t way;
    };
    std::vector<Extent> extents;
    for (size_t i = 0; i < across.size(); ++i) {
        Extent extent{INT_MAX, INT_MIN, INT_MAX, INT_MIN, i};
        for (const Node &node : ways[i]) {
            extent.top = std::min(extent.top, node.level);
            extent.bottom = std::max(extent.bottom, node.level);
            extent.left = std::min(extent.left, node.gutter);
            extent.right = std::max(extent.right, node.gutter);
        }
        extents.push_back(extent);
    }
    std::sort(extents.begin(), extents.end(),
              [](const Extent &a, const Extent &b) { return a.top < b.top; });
    std::vector<char> meets(across.size(), 0);
    for (size_t a = 0; a < extents.size(); ++a) {
        for (size_t b = a + 1; b < extents.size() && extents[b].top <= extents[a].bottom; ++b) {
            if (extents[b].left <= extents[a].right && extents[a].left <= extents[b].right)
                meets[extents[a].way] = meets[extents[b].way] = 1;
        }
    }
    for (size_t i = 0; i < across.size(); ++i) {
        if (!meets[i])
            continue;
        const FlowGraph::Edge &edge = edges[across[i]];
        noteWay(ways[i], edge.from, edge.to, -1);
        ways[i] = chooseWay(edge.from, edge.to);
        noteWay(ways[i], edge.from, edge.to, 1);
    }
    const std::vector<std::pair<double, double>> heights = sideHeights(ways, across);
    for (size_t i = 0; i < across.size(); ++i) {
        const FlowGraph::Edge &edge = edges[across[i]];
        record(across[i],
               [&] { routeWay(ways[i], edge.from, edge.to, heights[i].first, heights[i].second); });
    }

    m_endsFrom = m_pending.size();
    for (const FlowGraph::End &end : m_graph.ends()) {
        const FlowGrid::Box &box = m_grid.boxes[size_t(end.box)];
        if (end.port >= 0) {
            const FlowGrid::Port &port = m_grid.port(end.box, end.port);
            point(column(port.column, port.offset), row(box.row, box.height));
        } else {
            point(column(box.column), row(box.row, box.height));
        }
    }
}

void FlowRouter::route(FlowLayout &layout)
{
    routeAll();
    m_tracks.assign(m_grid.columns() + 1, m_grid.rows() + 1);
    place(layout);
}

void FlowRouter::place(FlowLayout &layout)
{
    const int columns = m_grid.columns();
    const int rows = m_grid.rows();
    // A channel is as wide as its tracks need, at least the gap between two columns or rows;
    // the outer ones only as wide as their tracks need, the margin holding the rest.
    auto channelSize = [](int tracks, bool outer, double least) {
        const double needed = tracks ? FlowLayout::kTrackStep * (tracks + 1) : 0;
        return std::max(outer ? 0.0 : least, needed);
    };
    m_across = Axis::lay(m_columnWidths, [&](int gutter) {
        return channelSize(m_tracks.tracks(true, gutter), gutter == 0 || gutter == columns,
                           FlowLayout::kColumnGap);
    });
    m_down = Axis::lay(m_grid.rowHeights, [&](int strip) {
        return channelSize(m_tracks.tracks(false, strip), strip == 0 || strip == rows,
                           FlowLayout::kRowGap);
    });
    const double x = m_across.end;
    const double y = m_down.end;
    layout.m_size = QSizeF(x + FlowLayout::kMargin, y + FlowLayout::kMargin);

    layout.m_boxes.resize(m_grid.boxes.size());
    for (size_t b = 0; b < m_grid.boxes.size(); ++b) {
        const FlowGrid::Box &box = m_grid.boxes[b];
        double left = m_across.cellStart[size_t(box.first)];
        double right = m_across.cellStart[size_t(box.last)] + m_grid.columnWidth(box.last);
        if (box.first == box.last) {
            left += (m_grid.columnWidth(box.first) - kBoxWidth) / 2;
            right = left + kBoxWidth;
        }
        layout.m_boxes[b] =
            QRectF(left, m_down.cellStart[size_t(box.row)], right - left, box.height);
    }

    layout.m_portStart = m_grid.portStart;
    layout.m_ports.resize(m_grid.ports.size());
    for (size_t b = 0; b < m_grid.boxes.size(); ++b) {
        for (int p = m_grid.portStart[b]; p < m_grid.portStart[b + 1]; ++p)
            layout.m_ports[size_t(p)] = QPointF(
                resolveX(column(m_grid.ports[size_t(p)].column, m_grid.ports[size_t(p)].offset)),
                layout.m_boxes[b].bottom());
    }

    layout.m_routes.resize(m_spans.size());
    layout.m_points.reserve(m_endsFrom);
    for (size_t e = 0; e < m_spans.size(); ++e) {
        const Span &span = m_spans[e];
        FlowLayout::Route &route = layout.m_routes[e];
        route.first = int(layout.m_points.size());
        for (int p = 0; p < span.count; ++p) {
            const Pending &at = m_pending[size_t(span.first + p)];
            const QPointF point(resolveX(at.x), resolveY(at.y));
            // Legs of no length would give an arrow head no direction.
            if (int(layout.m_points.size()) > route.first && layout.m_points.back() == point)
                continue;
            layout.m_points.push_back(point);
        }
        route.count = int(layout.m_points.size()) - route.first;
        double left = std::numeric_limits<double>::max();
        double top = left;
        double right = std::numeric_limits<double>::lowest();
        double bottom = right;
        for (int p = route.first; p < route.first + route.count; ++p) {
            const QPointF &point = layout.m_points[size_t(p)];
            left = std::min(left, point.x());
            right = std::max(right, point.x());
            top = std::min(top, point.y());
            bottom = std::max(bottom, point.y());
        }
        if (route.count > 0)
            route.bounds = QRectF(QPointF(left, top), QPointF(right, bottom));
    }
    layout.m_ends.clear();
    for (size_t p = m_endsFrom; p < m_pending.size(); ++p)
        layout.m_ends.push_back(QPointF(resolveX(m_pending[p].x), resolveY(m_pending[p].y)));
}

double FlowRouter::resolveX(const Place &x) const
{
    if (x.kind == Place::Gutter) {
        const size_t g = size_t(x.index);
        return m_across.channelStart[g] + m_across.channelSize[g] *
                                              (m_tracks.track(x.stretch) + 1) /
                                              (m_tracks.tracks(true, x.index) + 1);
    }
    return m_across.cellStart[size_t(x.index)] + m_grid.columnWidth(x.index) / 2 + x.offset;
}

double FlowRouter::resolveY(const Place &y) const
{
    if (y.kind == Place::Strip) {
        const size_t s = size_t(y.index);
        return m_down.channelStart[s] + m_down.channelSize[s] * (m_tracks.track(y.stretch) + 1) /
                                            (m_tracks.tracks(false, y.index) + 1);
    }
    return m_down.cellStart[size_t(y.index)] + y.offset;
}
