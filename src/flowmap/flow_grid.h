#pragma once

#include "flow_layout.h"

#include <vector>

// Where the flow map's boxes stand on its grid of columns and rows, before the gutters and
// strips between them have their widths. A column where a box stands is a box wide; one that
// only carries an answer's arrow is a narrow lane. A choice whose answers have dialogs under
// them spans the columns of its answers, each answer leaving it straight down its column.
struct FlowGrid
{
    struct Box
    {
        int row = 0;
        int column = 0; // where the arrows of its branch come in and go on
        int first = 0;  // the columns it spans
        int last = 0;
        double height = 0;
    };
    // Where an answer leaves its box: down this column, this far from the column's middle; an
    // answer of a choice that stands in one column may run to its lane first.
    struct Port
    {
        int column = 0;
        double offset = 0;
        int lane = -1;
    };

    std::vector<char> columnHoldsBoxes;
    std::vector<double> rowHeights;
    std::vector<Box> boxes;
    // The ports of box b are ports[portStart[b]] up to ports[portStart[b + 1]].
    std::vector<int> portStart;
    std::vector<Port> ports;

    int columns() const { return int(columnHoldsBoxes.size()); }
    int rows() const { return int(rowHeights.size()); }
    double columnWidth(int column) const
    {
        return columnHoldsBoxes[size_t(column)] ? FlowLayout::kBoxWidth : FlowLayout::kLaneWidth;
    }
    const Port &port(int box, int port) const
    {
        return ports[size_t(portStart[size_t(box)] + port)];
    }
};
