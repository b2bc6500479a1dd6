#include "flow_painter.h"

#include "flow_box_text.h"
#include "flow_graph.h"
#include "flow_layout.h"

#include "document/dialog_node.h"
#include "document/node_text.h"
#include "platform/ansi.h"
#include "platform/app_error.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <cmath>

namespace {

// The height of a text box, by which the detail drawn is chosen for every box alike.
constexpr double kTextBoxHeight = 2 * FlowLayout::kPadding + 2 * FlowLayout::kLineHeight;
// Drawn heights of a text box (pixels) from which its number, its heading and its words show.
constexpr double kNumberHeight = 10;
constexpr double kHeadingHeight = 26;
constexpr double kWordsHeight = 34;

enum class Detail { Shapes, Numbers, Headings, Words };

Detail detailAt(double scale)
{
    const double drawn = kTextBoxHeight * scale;
    return drawn < kNumberHeight    ? Detail::Shapes
           : drawn < kHeadingHeight ? Detail::Numbers
           : drawn < kWordsHeight   ? Detail::Headings
                                    : Detail::Words;
}

QColor colourOf(FlowGraph::EdgeKind kind)
{
    switch (kind) {
    case FlowGraph::EdgeKind::Next:
        return QColor(0x50, 0x50, 0x50);
    case FlowGraph::EdgeKind::Answer:
        return QColor(0x1f, 0x5f, 0xa8);
    case FlowGraph::EdgeKind::Goto:
        return QColor(0x7b, 0x3f, 0xa0);
    case FlowGraph::EdgeKind::Broken:
        return QColor(0xc6, 0x28, 0x28);
    }
    return Qt::black;
}

void drawArrowHead(QPainter &painter, const QPointF &from, const QPointF &tip)
{
    const QLineF line(tip, from);
    if (line.length() <= 0)
        return;
    const QPointF unit = (from - tip) / line.length();
    const QPointF normal(-unit.y(), unit.x());
    const QPolygonF head({tip, tip + unit * 8 + normal * 4, tip + unit * 8 - normal * 4});
    painter.drawPolygon(head);
}

// A font of pixels screen pixels at the painter's scale.
QFont fontOf(const QFont &base, double pixels, double scale, bool bold)
{
    QFont font = base;
    font.setPixelSize(std::max(1, int(std::lround(pixels / scale))));
    font.setBold(bold);
    return font;
}

// The Set, Call and Delete marks at the box's top right, from the right; their width.
double drawActionMarks(QPainter &painter, const FlowGraph::Box &box, const QRectF &rect,
                       bool letters)
{
    struct Mark
    {
        bool shown;
        QColor colour;
        QChar letter;
    };
    const Mark marks[] = {{box.deletes, QColor(0xc6, 0x28, 0x28), u'D'},
                          {box.calls, QColor(0xd0, 0x7a, 0x00), u'C'},
                          {box.sets, QColor(0x2e, 0x7d, 0x32), u'S'}};
    double right = rect.right() - 4;
    for (const Mark &mark : marks) {
        if (!mark.shown)
            continue;
        const QRectF badge(right - 13, rect.top() + 4, 13, 12);
        painter.setPen(Qt::NoPen);
        painter.setBrush(mark.colour);
        painter.drawRoundedRect(badge, 2, 2);
        if (letters) {
            painter.setPen(Qt::white);
            painter.drawText(badge, Qt::AlignCenter, QString(mark.letter));
        }
        right -= 15;
    }
    painter.setBrush(Qt::NoBrush);
    return rect.right() - 4 - right;
}

void drawWords(QPainter &painter, const FlowGraph::Box &box, const QRectF &rect, Detail detail,
               double scale)
{
    const QFont base = painter.font();
    painter.setPen(Qt::black);
    if (detail == Detail::Numbers) {
        // As large as the box allows, up to a comfortable size.
        const double drawn = kTextBoxHeight * scale;
        const QFont font = fontOf(base, std::clamp(drawn * 0.6, 7.0, 13.0), scale, true);
        painter.setFont(font);
        const QRectF top(rect.left(), rect.top(), rect.width(), kTextBoxHeight);
        painter.drawText(top, Qt::AlignCenter, FlowBoxText::number(box));
        drawActionMarks(painter, box, rect, false);
        painter.setFont(base);
        return;
    }
    const double marks = drawActionMarks(painter, box, rect, detail == Detail::Words);
    painter.setPen(Qt::black);
    const double width = rect.width() - 2 * FlowLayout::kPadding;
    if (detail == Detail::Headings) {
        const QFont font = fontOf(base, 10, scale, true);
        painter.setFont(font);
        const QRectF top(rect.left() + FlowLayout::kPadding, rect.top(), width - marks,
                         kTextBoxHeight);
        painter.drawText(
            top, Qt::AlignLeft | Qt::AlignVCenter,
            QFontMetricsF(font).elidedText(FlowBoxText::heading(box), Qt::ElideRight, top.width()));
        painter.setFont(base);
        return;
    }
    QFont bold = base;
    bold.setBold(true);
    QRectF line(rect.left() + FlowLayout::kPadding, rect.top() + FlowLayout::kPadding,
                width - marks, FlowLayout::kLineHeight);
    painter.setFont(bold);
    painter.drawText(
        line, Qt::AlignLeft | Qt::AlignVCenter,
        QFontMetricsF(bold).elidedText(FlowBoxText::heading(box), Qt::ElideRight, line.width()));
    painter.setFont(base);
    const QFontMetricsF metrics(base);
    line.setWidth(width);
    if (box.foldedAnswer)
        painter.setPen(QColor(0x55, 0x55, 0x55));
    for (const QString &text : FlowBoxText::lines(box)) {
        line.translate(0, FlowLayout::kLineHeight);
        painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter,
                         metrics.elidedText(text, Qt::ElideRight, width));
    }
}

void drawEdges(QPainter &painter, const FlowGraph &graph, const FlowLayout &layout,
               const QRectF &visible, Detail detail)
{
    const std::vector<FlowGraph::Edge> &edges = graph.edges();
    for (size_t e = 0; e < edges.size(); ++e) {
        const FlowLayout::Route &route = layout.routes()[e];
        if (route.count < 1)
            continue;
        if (!route.bounds.adjusted(-8, -8, 8, 8).intersects(visible))
            continue;
        const QPointF *points = layout.points().data() + route.first;
        const FlowGraph::Edge &edge = edges[e];
        const QColor colour = colourOf(edge.kind);
        QPen pen(colour, edge.kind == FlowGraph::EdgeKind::Broken ? 1.5 : 1.2);
        if (edge.kind == FlowGraph::EdgeKind::Goto)
            pen.setStyle(Qt::DashLine);
        painter.setPen(pen);
        painter.drawPolyline(points, route.count);
        const QPointF &end = points[route.count - 1];
        if (edge.kind == FlowGraph::EdgeKind::Broken) {
            painter.setPen(QPen(colour, 2));
            painter.drawLine(end + QPointF(-4, -4), end + QPointF(4, 4));
            painter.drawLine(end + QPointF(-4, 4), end + QPointF(4, -4));
            continue;
        }
        painter.setPen(QPen(colour, 1));
        painter.setBrush(colour);
        if (route.count > 1)
            drawArrowHead(painter, points[route.count - 2], end);
        painter.setBrush(Qt::NoBrush);
        if (edge.kind == FlowGraph::EdgeKind::Answer && detail == Detail::Words)
            painter.drawText(points[0] + QPointF(3, 11),
                             Ansi::toUnicode(NodeText::choiceNumber(edge.source->text())));
    }
}

// A short stub with a bar where the conversation ends.
void drawEnds(QPainter &painter, const FlowGraph &graph, const FlowLayout &layout,
              const QRectF &visible)
{
    for (size_t e = 0; e < graph.ends().size(); ++e) {
        const QPointF &start = layout.ends()[e];
        if (!visible.adjusted(-8, -8, 8, 8).contains(start))
            continue;
        const bool answer = graph.ends()[e].port >= 0;
        painter.setPen(
            QPen(answer ? colourOf(FlowGraph::EdgeKind::Answer) : QColor(0x33, 0x33, 0x33), 2));
        const QPointF end = start + QPointF(0, FlowLayout::kEndLength);
        painter.drawLine(start, end);
        painter.drawLine(end - QPointF(6, 0), end + QPointF(6, 0));
    }
}

} // namespace

namespace FlowPainter {

void paint(QPainter &painter, const FlowGraph &graph, const FlowLayout &layout,
           const QRectF &visible, const Marks &marks)
{
    const double scale = painter.transform().m11();
    const Detail detail = detailAt(scale);
    painter.setRenderHint(QPainter::Antialiasing, detail != Detail::Shapes);
    QFont font = painter.font();
    font.setPixelSize(12);
    painter.setFont(font);

    drawEdges(painter, graph, layout, visible, detail);
    drawEnds(painter, graph, layout, visible);

    const std::vector<FlowGraph::Box> &boxes = graph.boxes();
    const QColor found(0xff, 0xe8, 0x7a);
    for (const int shown : layout.boxesBetween(visible.top() - 4, visible.bottom())) {
        const size_t b = size_t(shown);
        const QRectF &rect = layout.boxes()[b];
        if (!rect.adjusted(0, 0, 4, 4).intersects(visible))
            continue;
        const FlowGraph::Box &box = boxes[b];
        const bool selected = int(b) == marks.selected;
        const bool match = marks.found && b < marks.found->size() && (*marks.found)[b];
        QColor fill = box.foldedAnswer ? QColor(0xe8, 0xe8, 0xe8)
                      : box.choice     ? QColor(0xee, 0xf4, 0xfb)
                                       : QColor(0xfb, 0xfb, 0xf4);
        if (match)
            fill = found;
        painter.setBrush(fill);
        if (box.foldedAnswer) {
            // A stack of boxes: the branch holds several dialogs.
            painter.setPen(QPen(QColor(0x77, 0x77, 0x77), 1));
            painter.drawRect(rect.translated(4, 4));
        }
        painter.setPen(selected ? QPen(QColor(0xe0, 0x8a, 0x00), 3)
                                : QPen(QColor(0x33, 0x33, 0x33), 1));
        if (detail == Detail::Shapes) {
            painter.drawRect(rect);
            continue;
        }
        painter.drawRoundedRect(rect, 4, 4);
        drawWords(painter, box, rect, detail, scale);
        if (selected && marks.gotoHandle && !box.choice && !box.foldedAnswer) {
            painter.setPen(QPen(Qt::white, 1.5));
            painter.setBrush(colourOf(FlowGraph::EdgeKind::Goto));
            // At least a few pixels across whatever the zoom.
            const QPointF centre = gotoHandle(rect).center();
            const double radius = std::max(5.0, 4.5 / scale);
            painter.drawEllipse(centre, radius, radius);
        }
    }
    painter.setBrush(Qt::NoBrush);
}

QByteArray png(const FlowGraph &graph, const FlowLayout &layout, qint64 maxPixels)
{
    const QSizeF size = layout.size();
    const double area = std::max(1.0, size.width() * size.height());
    // The painter's coordinates stay below 2^15 on the longer side.
    const double scale = std::min({1.0, std::sqrt(double(maxPixels) / area),
                                   32000.0 / std::max(1.0, std::max(size.width(), size.height()))});
    // Smaller, a tall map would come out as a strip of a few pixels without a number in it.
    if (scale < numbersScale())
        throw AppError(QStringLiteral("The map (%1 x %2 points) is too large for a readable "
                                      "picture; write it as SVG or DOT instead")
                           .arg(std::ceil(size.width()))
                           .arg(std::ceil(size.height())));
    QImage picture(std::max(1, int(std::ceil(size.width() * scale))),
                   std::max(1, int(std::ceil(size.height() * scale))), QImage::Format_RGB32);
    picture.fill(Qt::white);
    {
        QPainter painter(&picture);
        painter.scale(scale, scale);
        paint(painter, graph, layout, QRectF(QPointF(0, 0), size));
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, "PNG"))
        throw AppError(QStringLiteral("The picture of the map could not be encoded as PNG"));
    return bytes;
}

QImage overview(const FlowLayout &layout, const QSize &size)
{
    const QSizeF map = layout.size();
    const double scale = std::min(size.width() / std::max(1.0, map.width()),
                                  size.height() / std::max(1.0, map.height()));
    const int width = std::max(1, int(map.width() * scale));
    const int height = std::max(1, int(map.height() * scale));
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(QColor(0xf4, 0xf4, 0xf4));
    // Pixels are set directly: tens of thousands of boxes in well under a frame.
    const QRgb ink = qRgb(0x8a, 0x9b, 0xb0);
    for (const QRectF &box : layout.boxes()) {
        const int left = std::clamp(int(box.left() * scale), 0, width - 1);
        const int right = std::clamp(int(std::ceil(box.right() * scale)), left + 1, width);
        const int top = std::clamp(int(box.top() * scale), 0, height - 1);
        const int bottom = std::clamp(int(std::ceil(box.bottom() * scale)), top + 1, height);
        for (int y = top; y < bottom; ++y) {
            QRgb *line = reinterpret_cast<QRgb *>(picture.scanLine(y));
            std::fill(line + left, line + right, ink);
        }
    }
    return picture;
}

QRectF gotoHandle(const QRectF &box)
{
    return QRectF(box.right() - 5, box.top() + 11, 10, 10);
}

double numbersScale()
{
    return kNumberHeight / kTextBoxHeight;
}

} // namespace FlowPainter
