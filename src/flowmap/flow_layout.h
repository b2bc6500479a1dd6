#pragma once

#include "flow_graph.h"

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <vector>

// Where the flow map draws each box and arrow. The layout reads top to bottom on a grid of
// columns and rows: a branch's dialogs stand one below the other in one column, a choice
// dialog's branches side by side to the right of it below, and the dialog after a choice below
// the longest of its branches. A choice with dialogs under its answers spans their columns, so
// that each answer leaves straight down into its branch; an answer with no dialog under it gets
// a narrow lane of its own. Between the columns run gutters and between the rows strips, which
// hold no box: the arrows run there and down empty columns (see FlowRouter). Sizes from the last
// box back and places from the first on: no recursion.
class FlowLayout
{
public:
    static constexpr double kBoxWidth = 210;
    static constexpr double kRowGap = 28;    // the least height of a strip between two rows
    static constexpr double kColumnGap = 28; // the least width of a gutter between two columns
    static constexpr double kLaneWidth = 24; // a column that carries only an answer's arrow
    static constexpr double kTrackStep = 8;  // between two arrows running side by side
    static constexpr double kLineHeight = 16;
    static constexpr double kPadding = 6;
    static constexpr double kMargin = 24;
    static constexpr double kEndLength = 7; // the stub of an end mark, shorter than a track step
    // A box with many gotos leaving it (a folded branch) grows to give each a height of its
    // own on its side below the first four: one row of this height for each beyond them.
    static constexpr double kExitsBelow = 44;
    static constexpr double kExitRow = 6;

    struct Route
    {
        int first = 0; // into points()
        int count = 0;
        QRectF bounds; // of its points
    };

    static FlowLayout lay(const FlowGraph &graph);

    QSizeF size() const { return m_size; }
    const std::vector<QRectF> &boxes() const { return m_boxes; }
    // One per edge of the graph.
    const std::vector<Route> &routes() const { return m_routes; }
    const std::vector<QPointF> &points() const { return m_points; }
    // One per end of the graph: where its mark hangs from the box.
    const std::vector<QPointF> &ends() const { return m_ends; }
    // Where the arrow of answer port leaves a choice box.
    QPointF answerPort(int box, int port) const
    {
        return m_ports[size_t(m_portStart[size_t(box)] + port)];
    }
    // The box under point; -1 over empty space.
    int boxAt(const QPointF &point) const;
    // The grid place of a box.
    int rowOf(int box) const { return m_rowOf[size_t(box)]; }
    int columnOf(int box) const { return m_columnOf[size_t(box)]; }
    // The boxes of a row from left to right.
    std::vector<int> boxesInRow(int row) const;
    // The boxes whose rows reach between top and bottom, row by row.
    std::vector<int> boxesBetween(double top, double bottom) const;
    int rowCount() const { return m_rowStart.empty() ? 0 : int(m_rowStart.size()) - 1; }

private:
    friend class FlowRouter;

    QSizeF m_size;
    std::vector<QRectF> m_boxes;
    std::vector<Route> m_routes;
    std::vector<QPointF> m_points;
    std::vector<QPointF> m_ends;
    std::vector<int> m_rowOf;
    std::vector<int> m_columnOf;
    std::vector<int> m_portStart; // per box: its first answer's place in m_ports
    std::vector<QPointF> m_ports;
    std::vector<int> m_byRow;    // the boxes by row, then column
    std::vector<int> m_rowStart; // per row: its first place in m_byRow; and the end
};
