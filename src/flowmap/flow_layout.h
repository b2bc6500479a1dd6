#pragma once

#include "flow_graph.h"

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <vector>

// Where the flow map draws each box and arrow. The layout reads top to bottom in rows: a
// branch's dialogs stand one below the other, a choice dialog's branches side by side below
// it, and the dialog after a choice below the longest of its branches. A row is as high as its
// highest box, so the strip between two rows holds no box: arrows run down the empty columns
// and along those strips, and gotos go round everything through lanes right of the map. Two passes
// over the boxes, no recursion: sizes from the last box back, places from the first on.
class FlowLayout
{
public:
    static constexpr double kBoxWidth = 210;
    static constexpr double kRowGap = 28; // the strip between two rows
    static constexpr double kColumnGap = 28;
    static constexpr double kLineHeight = 16;
    static constexpr double kPadding = 6;
    static constexpr double kEmptyBranchWidth = 40;
    static constexpr double kMargin = 24;
    static constexpr double kGotoLaneStep = 8;
    static constexpr int kGotoLanes = 12;

    struct Route
    {
        int first = 0; // into points()
        int count = 0;
    };

    static FlowLayout lay(const FlowGraph &graph);

    QSizeF size() const { return m_size; }
    const std::vector<QRectF> &boxes() const { return m_boxes; }
    const std::vector<Route> &routes() const { return m_routes; }
    const std::vector<QPointF> &points() const { return m_points; }
    // Where the arrow of answer port leaves a choice box of that many answers.
    static QPointF answerPort(const QRectF &box, int port, int answers);
    // The box under point; -1 over empty space.
    int boxAt(const QPointF &point) const;

private:
    // Adds the edge's route; true when it runs through one of the lanes right of the map.
    bool route(const FlowGraph &graph, const FlowGraph::Edge &edge, int gotoLane, double lanesX,
               const std::vector<double> &branchCentres);
    void add(const QPointF &point);

    QSizeF m_size;
    std::vector<QRectF> m_boxes;
    std::vector<Route> m_routes;
    std::vector<QPointF> m_points;
    std::vector<int> m_rowOf;     // per box
    std::vector<double> m_rowTop; // per row, and the end of the last
    size_t m_routeStart = 0;
};
