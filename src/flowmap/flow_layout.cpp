#include "flow_layout.h"

#include <algorithm>
#include <cmath>

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
    std::vector<double> blockWidth(boxes.size());
    std::vector<int> blockRows(boxes.size());
    std::vector<double> branchWidth(branches.size(), kEmptyBranchWidth);
    std::vector<int> branchRows(branches.size(), 0);

    auto measureBranch = [&](int branch) {
        double width = 0;
        int rows = 0;
        for (int box = branches[size_t(branch)].first; box >= 0;
             box = boxes[size_t(box)].nextInBranch) {
            width = std::max(width, blockWidth[size_t(box)]);
            rows += blockRows[size_t(box)];
        }
        if (rows > 0) {
            branchWidth[size_t(branch)] = width;
            branchRows[size_t(branch)] = rows;
        }
    };
    // A box's branches hold only boxes after it in pre-order.
    for (size_t b = boxes.size(); b-- > 0;) {
        double width = -kColumnGap;
        int rows = 0;
        for (int branch = boxes[b].firstBranch; branch >= 0;
             branch = branches[size_t(branch)].next) {
            measureBranch(branch);
            width += branchWidth[size_t(branch)] + kColumnGap;
            rows = std::max(rows, branchRows[size_t(branch)]);
        }
        blockWidth[b] = std::max(kBoxWidth, width);
        blockRows[b] = 1 + rows;
    }
    measureBranch(0);

    FlowLayout layout;
    layout.m_boxes.resize(boxes.size());
    layout.m_rowOf.resize(boxes.size());
    std::vector<double> branchCentres(branches.size(), 0);
    auto placeBranch = [&](int branch, double centre, int row) {
        branchCentres[size_t(branch)] = centre;
        for (int box = branches[size_t(branch)].first; box >= 0;
             box = boxes[size_t(box)].nextInBranch) {
            layout.m_boxes[size_t(box)] = QRectF(centre - kBoxWidth / 2, 0, kBoxWidth, 0);
            layout.m_rowOf[size_t(box)] = row;
            row += blockRows[size_t(box)];
        }
    };
    const double mapWidth = branches.empty() ? 0 : branchWidth[0];
    placeBranch(0, kMargin + mapWidth / 2, 0);
    for (size_t b = 0; b < boxes.size(); ++b) {
        double total = -kColumnGap;
        for (int branch = boxes[b].firstBranch; branch >= 0; branch = branches[size_t(branch)].next)
            total += branchWidth[size_t(branch)] + kColumnGap;
        double x = layout.m_boxes[b].center().x() - total / 2;
        for (int branch = boxes[b].firstBranch; branch >= 0;
             branch = branches[size_t(branch)].next) {
            placeBranch(branch, x + branchWidth[size_t(branch)] / 2, layout.m_rowOf[b] + 1);
            x += branchWidth[size_t(branch)] + kColumnGap;
        }
    }

    // Each row is as high as its highest box, so the strip between two rows crosses no box.
    int totalRows = 0;
    for (int box = branches.empty() ? -1 : branches[0].first; box >= 0;
         box = boxes[size_t(box)].nextInBranch)
        totalRows += blockRows[size_t(box)];
    std::vector<double> rowHeight(size_t(totalRows), 0);
    for (size_t b = 0; b < boxes.size(); ++b) {
        double &height = rowHeight[size_t(layout.m_rowOf[b])];
        height = std::max(height, heightOf(boxes[b]));
    }
    layout.m_rowTop.resize(size_t(totalRows) + 1);
    layout.m_rowTop[0] = kMargin;
    for (size_t row = 0; row < rowHeight.size(); ++row)
        layout.m_rowTop[row + 1] = layout.m_rowTop[row] + rowHeight[row] + kRowGap;
    for (size_t b = 0; b < boxes.size(); ++b) {
        QRectF &rect = layout.m_boxes[b];
        rect.moveTop(layout.m_rowTop[size_t(layout.m_rowOf[b])]);
        rect.setHeight(heightOf(boxes[b]));
    }

    const double lanesX = kMargin + mapWidth + kColumnGap;
    int laneRoutes = 0;
    layout.m_routes.reserve(graph.edges().size());
    layout.m_points.reserve(graph.edges().size() * 4);
    for (const FlowGraph::Edge &edge : graph.edges())
        laneRoutes += layout.route(graph, edge, laneRoutes % kGotoLanes, lanesX, branchCentres);
    const double lanesWidth = laneRoutes ? kGotoLanes * kGotoLaneStep + kColumnGap : 0;
    layout.m_size = QSizeF(2 * kMargin + mapWidth + lanesWidth,
                           kMargin + std::max(0.0, layout.m_rowTop.back() - kRowGap));
    return layout;
}

QPointF FlowLayout::answerPort(const QRectF &box, int port, int answers)
{
    return QPointF(box.left() + box.width() * (port + 1) / (answers + 1), box.bottom());
}

int FlowLayout::boxAt(const QPointF &point) const
{
    for (size_t b = 0; b < m_boxes.size(); ++b) {
        if (m_boxes[b].contains(point))
            return int(b);
    }
    return -1;
}

bool FlowLayout::route(const FlowGraph &graph, const FlowGraph::Edge &edge, int gotoLane,
                       double lanesX, const std::vector<double> &branchCentres)
{
    bool usesLane = false;
    Route route;
    route.first = int(m_points.size());
    m_routeStart = m_points.size();
    const QRectF &from = m_boxes[size_t(edge.from)];
    // The strips below the source's row and above the target's.
    const double below = m_rowTop[size_t(m_rowOf[size_t(edge.from)]) + 1] - kRowGap / 2;
    const double side = from.right() + kColumnGap / 2;
    const QRectF to = edge.to >= 0 ? m_boxes[size_t(edge.to)] : QRectF();
    const double above = to.top() - kRowGap / 2;
    switch (edge.kind) {
    case FlowGraph::EdgeKind::Next:
        if (to.top() > from.bottom()) {
            add(QPointF(from.center().x(), from.bottom()));
            add(QPointF(from.center().x(), above));
            add(QPointF(to.center().x(), above));
            add(QPointF(to.center().x(), to.top()));
            break;
        }
        [[fallthrough]]; // only a malformed tree leads back up: go round as a goto does
    case FlowGraph::EdgeKind::Goto: {
        usesLane = true;
        const double lane = lanesX + gotoLane * kGotoLaneStep;
        const double entry = to.right() + kColumnGap / 2;
        add(QPointF(from.right(), from.center().y()));
        add(QPointF(side, from.center().y()));
        add(QPointF(side, below));
        add(QPointF(lane, below));
        add(QPointF(lane, above));
        add(QPointF(entry, above));
        add(QPointF(entry, to.center().y()));
        add(QPointF(to.right(), to.center().y()));
        break;
    }
    case FlowGraph::EdgeKind::Answer: {
        const QPointF port = answerPort(from, edge.port, graph.boxes()[size_t(edge.from)].answers);
        const double lane = branchCentres[size_t(edge.branch)];
        add(port);
        add(QPointF(port.x(), below));
        add(QPointF(lane, below));
        add(QPointF(lane, above));
        add(QPointF(to.center().x(), above));
        add(QPointF(to.center().x(), to.top()));
        break;
    }
    case FlowGraph::EdgeKind::Broken:
        add(QPointF(from.right(), from.center().y() + kLineHeight / 2));
        add(QPointF(side, from.center().y() + kLineHeight / 2));
        break;
    }
    route.count = int(m_points.size()) - route.first;
    m_routes.push_back(route);
    return usesLane;
}

void FlowLayout::add(const QPointF &point)
{
    // Legs of no length would give an arrow head no direction.
    if (m_points.size() > m_routeStart && m_points.back() == point)
        return;
    m_points.push_back(point);
}
