#pragma once

#include <QByteArray>
#include <QRectF>

class FlowGraph;
class FlowLayout;
class QPainter;

// Draws the flow map with a QPainter: for the window, which draws only what is in view, and for
// pictures of the whole map. Below a readable scale the boxes are drawn without their words.
namespace FlowPainter {

// Draws what lies within visible (map coordinates) under the painter's transform; highlighted
// is a box drawn marked, -1 for none.
void paint(QPainter &painter, const FlowGraph &graph, const FlowLayout &layout,
           const QRectF &visible, int highlighted);
// The whole map on white as PNG bytes, scaled down where needed so that the picture stays below
// maxPixels. A map that would have to shrink below the scale that shows words is refused with
// AppError.
QByteArray png(const FlowGraph &graph, const FlowLayout &layout, qint64 maxPixels = 24'000'000);

} // namespace FlowPainter
