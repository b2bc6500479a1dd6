#pragma once

#include "flow_graph.h"
#include "flow_grid.h"
#include "flow_tracks.h"

#include <QtGlobal>
#include <array>
#include <functional>
#include <unordered_map>
#include <vector>

class FlowLayout;

// Routes the flow map's arrows on its grid, then sizes the gutters and strips for the tracks
// the arrows need and writes where everything lies into the layout.
// - An arrow down (to what follows, or an answer) leaves its box's bottom in its column, runs
//   down that column (empty below a branch's last box) or lane, and along the strip above its
//   target, where arrows into one dialog join.
// - A goto leaves its box's side into the gutter next to it and runs through gutters and strips
//   within the rectangle of its two boxes to the gutter next to its target, or to the strip
//   below a choice it loops back to, which it enters from below between two answers. Of those
//   ways it takes the one that crosses fewest lines drawn so far, weighed against its length,
//   and never one that goes far round. Gotos into one dialog join where they run along one
//   gutter or strip, and enter each side of their box at one place.
// - Each box side's goto stubs stand by where they run: those running up above those running
//   down.
class FlowRouter
{
public:
    FlowRouter(const FlowGraph &graph, const FlowGrid &grid);
    void route(FlowLayout &layout);

private:
    // A coordinate before the tracks are known: a column's middle or a row's top with an
    // offset, or the track of a stretch in a gutter or a strip.
    struct Place
    {
        enum Kind : unsigned char { Column, Gutter, Row, Strip };
        Kind kind = Column;
        int index = 0;
        int stretch = -1;
        double offset = 0;
    };
    struct Pending
    {
        Place x;
        Place y;
    };
    // Where the cells along one axis (columns or rows) and the channels between them begin:
    // channel k before cell k, one more after the last.
    struct Axis
    {
        std::vector<double> channelStart;
        std::vector<double> channelSize;
        std::vector<double> cellStart;
        double end = 0;
        static Axis lay(const std::vector<double> &cells,
                        const std::function<double(int)> &channelSize);
    };
    struct Span
    {
        int first = 0; // into m_pending
        int count = 0;
    };
    // A place where a gutter meets a strip (level 2s) or passes a row (level 2r+1).
    struct Node
    {
        int gutter;
        int level;
    };

    static Place column(int index, double offset = 0) { return {Place::Column, index, -1, offset}; }
    static Place row(int index, double offset) { return {Place::Row, index, -1, offset}; }
    static Place gutter(int index, int stretch) { return {Place::Gutter, index, stretch, 0}; }
    static Place strip(int index, int stretch) { return {Place::Strip, index, stretch, 0}; }
    static quint64 key(int gutter, int level)
    {
        return (quint64(quint32(gutter)) << 32) | quint32(level);
    }

    // Keys order places along a channel: 2k for gutter or strip k, 2k+1 about the middle of
    // column or row k.
    double xKey(const Place &x) const;
    double yKey(const Place &y) const;
    void point(const Place &x, const Place &y) { m_pending.push_back({x, y}); }

    void routeAll();
    // From (x, the bottom of a box in fromRow) down to box to's top: straight, or along the
    // strip above it.
    void descend(const Place &x, int fromRow, double fromY, int to);
    // The way a goto (or an arrow that cannot run down) takes; what it weighs for the other
    // gotos (count 1 to add it, -1 to take it back); its stretches and points.
    std::vector<Node> chooseWay(int from, int to) const;
    void noteWay(const std::vector<Node> &way, int from, int to, int count);
    // Where each goto meets the sides of its two boxes, from their tops.
    std::vector<std::pair<double, double>> sideHeights(const std::vector<std::vector<Node>> &ways,
                                                       const std::vector<size_t> &gotos) const;
    void routeWay(const std::vector<Node> &way, int from, int to, double exitY, double entryY);
    // The cheapest way for a goto within the gutters given, each crossing weighed as
    // crossingCost of length; none when there is no way there. onlyStart names the gutter it
    // must leave into (-1: either), onlyEnd the one it must end in (-1: any, -2: below).
    std::vector<Node> findWay(int from, int to, int firstGutter, int lastGutter,
                              double crossingCost, int onlyStart, int onlyEnd) const;
    // Out of the side facing the target, into the side facing the source.
    std::vector<Node> directWay(int from, int to) const;
    double roughDetour(const std::vector<Node> &way, int from, int to) const;
    // Where a goto meets box's side in gutter (rough geometry).
    double sideX(int box, int gutter) const;
    Place sidePlace(int box, int gutter) const;
    // A goto that ends in a gutter inside its target's columns comes in from below.
    bool entersFromBelow(int to, int gutter) const;
    double levelY(int level) const;
    bool blocked(int gutter, int level) const;
    int addStretch(bool vertical, int channel, int net, FlowTracks::End a, FlowTracks::End b);
    void noteVertical(int strip, int atColumn) { m_verticals.push_back({strip, atColumn}); }

    void place(FlowLayout &layout);
    double resolveX(const Place &x) const;
    double resolveY(const Place &y) const;

    const FlowGraph &m_graph;
    const FlowGrid &m_grid;
    FlowTracks m_tracks;
    std::vector<Pending> m_pending;
    std::vector<Span> m_spans; // per edge
    size_t m_endsFrom = 0;     // the ends' points in m_pending

    std::vector<std::pair<int, int>> m_verticals;   // (strip, column)
    std::vector<std::pair<int, int>> m_horizontals; // (gutter, strip)
    bool m_weighing = false; // routing the gotos: the lines above are all known
    // What lies at each place where a gutter meets a strip or passes a row: how many gotos
    // routed so far pass it straight down and straight across; the stubs meeting the gutter
    // there, each of which goto (its target; -1 for a broken arrow's) and how far along the
    // gutter its run from there reaches; and whether a wide box closes the gutter there.
    struct Stub
    {
        int to;
        int reach;
        bool entry;
    };
    struct Crossed
    {
        int down = 0;
        int across = 0;
        bool closed = false;
        std::vector<Stub> stubs;
    };
    std::unordered_map<quint64, Crossed> m_places;
    const Crossed *placeAt(int gutter, int level) const
    {
        const auto found = m_places.find(key(gutter, level));
        return found == m_places.end() ? nullptr : &found->second;
    }
    void noteStub(int gutter, int level, const Stub &stub, int count);
    double crossedStubs(const Crossed &place, int to, int firstLevel, int lastLevel) const;

    // The tables of a goto's search, kept for the next one.
    struct Search
    {
        using Entry = std::pair<double, size_t>;
        std::vector<double> levelAt;
        std::vector<int> verticalsAt;
        std::vector<int> acrossAt;
        std::vector<int> downAt;
        std::vector<double> stubsAt;
        std::vector<char> closedAt;
        std::vector<double> cost;
        std::vector<int> previous;
        std::vector<Entry> open;
        // What the tables were filled for: the rectangle, the target and the gotos noted.
        std::array<int, 5> filledFor{-1, -1, -1, -1, -1};
        int filledAt = -1;
    };
    mutable Search m_search;
    int m_noted = 0; // ways noted so far
    std::vector<double> m_columnWidths;
    // Where columns, gutters, rows and strips lie before any channel widens, to weigh ways.
    std::vector<double> m_roughColumn;
    std::vector<double> m_roughGutter;
    std::vector<double> m_roughRow;
    std::vector<double> m_roughStrip;
    // The final places: across the columns and gutters, down the rows and strips.
    Axis m_across;
    Axis m_down;
};
