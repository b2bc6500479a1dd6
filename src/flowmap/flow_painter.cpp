#include "flow_painter.h"

#include "document/dialog_summary.h"
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

// Below this scale words are too small to read and only the shapes are drawn.
constexpr double kWordsScale = 0.4;

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

void drawWords(QPainter &painter, const FlowGraph::Box &box, const QRectF &rect)
{
    const QFont plain = painter.font();
    QFont bold = plain;
    bold.setBold(true);
    const QFontMetricsF metrics(plain);
    const double width = rect.width() - 2 * FlowLayout::kPadding;
    QRectF line(rect.left() + FlowLayout::kPadding, rect.top() + FlowLayout::kPadding, width,
                FlowLayout::kLineHeight);
    const QString heading =
        Ansi::toUnicode(box.dialog->text()) +
        (box.choice ? QStringLiteral("  choice")
                    : QStringLiteral("  ") + DialogSummary::speaker(box.dialog));
    painter.setFont(bold);
    painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter,
                     QFontMetricsF(bold).elidedText(heading, Qt::ElideRight, width));
    painter.setFont(plain);
    if (!box.choice) {
        line.translate(0, FlowLayout::kLineHeight);
        painter.drawText(
            line, Qt::AlignLeft | Qt::AlignVCenter,
            metrics.elidedText(DialogSummary::firstLine(box.dialog), Qt::ElideRight, width));
        return;
    }
    for (int row = 0; row < box.dialog->childCount(); ++row) {
        const DialogNode *choice = box.dialog->child(row);
        if (!NodeText::isChoice(choice->text()))
            continue;
        line.translate(0, FlowLayout::kLineHeight);
        painter.drawText(
            line, Qt::AlignLeft | Qt::AlignVCenter,
            metrics.elidedText(DialogSummary::answerLine(choice), Qt::ElideRight, width));
    }
}

// Answers after which the conversation ends have no arrow: a short stub with a bar marks them.
void drawEndingAnswers(QPainter &painter, const FlowGraph &graph, int box, const QRectF &rect)
{
    const std::vector<FlowGraph::Edge> &edges = graph.edges();
    auto first =
        std::lower_bound(edges.begin(), edges.end(), box,
                         [](const FlowGraph::Edge &edge, int from) { return edge.from < from; });
    std::vector<bool> leads(size_t(graph.boxes()[size_t(box)].answers), false);
    for (auto edge = first; edge != edges.end() && edge->from == box; ++edge) {
        if (edge->kind == FlowGraph::EdgeKind::Answer)
            leads[size_t(edge->port)] = true;
    }
    painter.setPen(QPen(colourOf(FlowGraph::EdgeKind::Answer), 1.2));
    for (size_t port = 0; port < leads.size(); ++port) {
        if (leads[port])
            continue;
        const QPointF start = FlowLayout::answerPort(rect, int(port), int(leads.size()));
        const QPointF end = start + QPointF(0, FlowLayout::kRowGap / 2);
        painter.drawLine(start, end);
        painter.drawLine(end - QPointF(5, 0), end + QPointF(5, 0));
    }
}

} // namespace

namespace FlowPainter {

void paint(QPainter &painter, const FlowGraph &graph, const FlowLayout &layout,
           const QRectF &visible, int highlighted)
{
    const double scale = painter.transform().m11();
    const bool words = scale >= kWordsScale;
    painter.setRenderHint(QPainter::Antialiasing, words);
    QFont font = painter.font();
    font.setPixelSize(12);
    painter.setFont(font);

    const std::vector<FlowGraph::Edge> &edges = graph.edges();
    for (size_t e = 0; e < edges.size(); ++e) {
        const FlowLayout::Route &route = layout.routes()[e];
        const QPointF *points = layout.points().data() + route.first;
        QRectF bounds(points[0], QSizeF(0, 0));
        for (int p = 1; p < route.count; ++p)
            bounds |= QRectF(points[p], QSizeF(0, 0)).normalized();
        if (!bounds.adjusted(-8, -8, 8, 8).intersects(visible))
            continue;
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
        if (edge.kind == FlowGraph::EdgeKind::Answer && words)
            painter.drawText(points[0] + QPointF(3, 11),
                             Ansi::toUnicode(NodeText::choiceNumber(edge.source->text())));
    }

    const std::vector<FlowGraph::Box> &boxes = graph.boxes();
    for (size_t b = 0; b < boxes.size(); ++b) {
        const QRectF &rect = layout.boxes()[b];
        if (!rect.intersects(visible))
            continue;
        const bool marked = int(b) == highlighted;
        painter.setPen(marked ? QPen(QColor(0xe0, 0x8a, 0x00), 3)
                              : QPen(QColor(0x33, 0x33, 0x33), 1));
        painter.setBrush(boxes[b].choice ? QColor(0xee, 0xf4, 0xfb) : QColor(0xfb, 0xfb, 0xf4));
        if (words)
            painter.drawRoundedRect(rect, 4, 4);
        else
            painter.drawRect(rect);
        if (words) {
            painter.setPen(Qt::black);
            drawWords(painter, boxes[b], rect);
            if (boxes[b].choice)
                drawEndingAnswers(painter, graph, int(b), rect);
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
    // Smaller, a tall map would come out as a strip of a few pixels without a word in it.
    if (scale < kWordsScale)
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
        paint(painter, graph, layout, QRectF(QPointF(0, 0), size), -1);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, "PNG"))
        throw AppError(QStringLiteral("The picture of the map could not be encoded as PNG"));
    return bytes;
}

} // namespace FlowPainter
