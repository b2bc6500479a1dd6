#pragma once

#include <QByteArray>
#include <QImage>
#include <QRectF>
#include <vector>

class FlowGraph;
class FlowLayout;
class QPainter;

// Draws the flow map with a QPainter: for the window, which draws only what is in view, and for
// pictures of the whole map. What a box shows depends on how large it is drawn: nothing but its
// shape when tiny, its number from about 10 pixels tall, then its heading, then its words.
namespace FlowPainter {

// What the window marks on the map.
struct Marks
{
    int selected = -1;                        // drawn with a thick border
    const std::vector<char> *found = nullptr; // per box: a match of the search, drawn filled
    bool gotoHandle = false;                  // the selected text box shows its goto handle
};

// Draws what lies within visible (map coordinates) under the painter's transform.
void paint(QPainter &painter, const FlowGraph &graph, const FlowLayout &layout,
           const QRectF &visible, const Marks &marks = Marks());
// The whole map on white as PNG bytes, scaled down where needed so that the picture stays below
// maxPixels. A map that would have to shrink so far that its boxes lose their numbers is
// refused with AppError.
QByteArray png(const FlowGraph &graph, const FlowLayout &layout, qint64 maxPixels = 24'000'000);
// The whole map as blocks for an overview of at most size pixels, keeping its proportions.
QImage overview(const FlowLayout &layout, const QSize &size);
// Where a text box's goto handle sits: from there the author drags the goto somewhere else.
QRectF gotoHandle(const QRectF &box);
// Below this scale boxes show no words at all, not even their numbers.
double numbersScale();

} // namespace FlowPainter
