#include "flow_export.h"

#include "document/dialog_summary.h"
#include "flow_box_text.h"
#include "flow_graph.h"
#include "flow_layout.h"

#include "document/dialog_node.h"
#include "document/node_text.h"
#include "platform/ansi.h"

namespace {

// Characters of the box lines that fit the box width at the map's font size.
constexpr int kLineLength = 32;

const char *kindName(FlowGraph::EdgeKind kind)
{
    switch (kind) {
    case FlowGraph::EdgeKind::Next:
        return "next";
    case FlowGraph::EdgeKind::Answer:
        return "answer";
    case FlowGraph::EdgeKind::Goto:
        return "goto";
    case FlowGraph::EdgeKind::Broken:
        return "broken";
    }
    return "";
}

const char *strokeOf(FlowGraph::EdgeKind kind)
{
    switch (kind) {
    case FlowGraph::EdgeKind::Next:
        return "#505050";
    case FlowGraph::EdgeKind::Answer:
        return "#1f5fa8";
    case FlowGraph::EdgeKind::Goto:
        return "#7b3fa0";
    case FlowGraph::EdgeKind::Broken:
        return "#c62828";
    }
    return "#000000";
}

// Characters XML 1.0 cannot hold become "?"; the five special ones are escaped.
QByteArray xml(const QString &text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '&':
            escaped += QStringLiteral("&amp;");
            break;
        case '<':
            escaped += QStringLiteral("&lt;");
            break;
        case '>':
            escaped += QStringLiteral("&gt;");
            break;
        case '"':
            escaped += QStringLiteral("&quot;");
            break;
        default:
            escaped += c.unicode() < 0x20 && c != u'\n' && c != u'\t' ? QChar(u'?') : c;
        }
    }
    return escaped.toUtf8();
}

QByteArray number(double value)
{
    QByteArray text = QByteArray::number(value, 'f', 1);
    if (text.endsWith(".0"))
        text.chop(2);
    return text;
}

void svgText(QByteArray &out, double x, double y, const QString &text, const char *extra = "")
{
    out += "<text x=\"" + number(x) + "\" y=\"" + number(y) + '"' + extra + '>' + xml(text) +
           "</text>";
}

// The Set, Call and Delete marks at a box's top right, as the window draws them; how many.
int actionMarks(QByteArray &out, const FlowGraph::Box &box, const QRectF &rect)
{
    struct Mark
    {
        bool shown;
        const char *name;
        const char *colour;
        const char *letter;
    };
    const Mark marks[] = {{box.deletes, "delete", "#c62828", "D"},
                          {box.calls, "call", "#d07a00", "C"},
                          {box.sets, "set", "#2e7d32", "S"}};
    double right = rect.right() - 4;
    int shown = 0;
    for (const Mark &mark : marks) {
        if (!mark.shown)
            continue;
        out += QByteArray("<g class=\"mark ") + mark.name + "\"><rect x=\"" + number(right - 13) +
               "\" y=\"" + number(rect.top() + 4) +
               "\" width=\"13\" height=\"12\" rx=\"2\" fill=\"" + mark.colour + "\"/>";
        svgText(out, right - 6.5, rect.top() + 14, QString::fromLatin1(mark.letter),
                " fill=\"#ffffff\" font-size=\"10\" text-anchor=\"middle\"");
        out += "</g>";
        right -= 15;
        ++shown;
    }
    return shown;
}

// A DOT string: quotes and backslashes escaped, line breaks as \n. DOT has no escape for other
// control characters and dot stops at a NUL, so each is written out as the text \xHH.
QByteArray dotString(const QString &text)
{
    QByteArray out = "\"";
    for (const QChar c : text) {
        const char16_t code = c.unicode();
        if (code == u'"' || code == u'\\')
            out += '\\';
        if (code == u'\n')
            out += "\\n";
        else if (code == u'\r')
            continue;
        else if (code < 0x20 || (code >= 0x7F && code <= 0x9F))
            out += "\\\\x" + QByteArray::number(code, 16).rightJustified(2, '0').toUpper();
        else
            out += QString(c).toUtf8();
    }
    return out + '"';
}

} // namespace

namespace FlowExport {

QByteArray svg(const FlowGraph &graph, const FlowLayout &layout)
{
    const std::vector<FlowGraph::Box> &boxes = graph.boxes();
    const QByteArray width = number(layout.size().width());
    const QByteArray height = number(layout.size().height());
    QByteArray out;
    out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
           width + "\" height=\"" + height + "\" viewBox=\"0 0 " + width + ' ' + height +
           "\" font-family=\"sans-serif\" font-size=\"12\">\n"
           "<defs><marker id=\"arrow\" viewBox=\"0 0 10 10\" refX=\"10\" refY=\"5\" "
           "markerWidth=\"8\" markerHeight=\"8\" orient=\"auto\"><path d=\"M0,0 L10,5 L0,10 "
           "z\" fill=\"#505050\"/></marker></defs>\n"
           "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
    for (size_t e = 0; e < graph.edges().size(); ++e) {
        const FlowGraph::Edge &edge = graph.edges()[e];
        const FlowLayout::Route &route = layout.routes()[e];
        out += QByteArray("<g class=\"edge ") + kindName(edge.kind) + "\" data-from=\"" +
               QByteArray::number(boxes[size_t(edge.from)].number) + '"';
        if (edge.to >= 0)
            out += " data-to=\"" + QByteArray::number(boxes[size_t(edge.to)].number) + '"';
        if (edge.kind == FlowGraph::EdgeKind::Answer)
            out += " data-choice=\"" +
                   xml(Ansi::toUnicode(NodeText::choiceNumber(edge.source->text()))) + '"';
        out += "><path d=\"";
        for (int p = 0; p < route.count; ++p) {
            const QPointF &point = layout.points()[size_t(route.first + p)];
            out += (p ? " L" : "M") + number(point.x()) + ' ' + number(point.y());
        }
        out += QByteArray("\" fill=\"none\" stroke=\"") + strokeOf(edge.kind) + '"';
        if (edge.kind == FlowGraph::EdgeKind::Goto)
            out += " stroke-dasharray=\"6 4\"";
        if (edge.kind != FlowGraph::EdgeKind::Broken)
            out += " marker-end=\"url(#arrow)\"";
        out += "/>";
        const QPointF end = layout.points()[size_t(route.first + route.count - 1)];
        if (edge.kind == FlowGraph::EdgeKind::Broken) {
            out += "<path d=\"M" + number(end.x() - 4) + ' ' + number(end.y() - 4) + " L" +
                   number(end.x() + 4) + ' ' + number(end.y() + 4) + " M" + number(end.x() - 4) +
                   ' ' + number(end.y() + 4) + " L" + number(end.x() + 4) + ' ' +
                   number(end.y() - 4) + "\" stroke=\"#c62828\" stroke-width=\"2\"/>";
        } else if (edge.kind == FlowGraph::EdgeKind::Answer) {
            const QPointF start = layout.points()[size_t(route.first)];
            svgText(out, start.x() + 3, start.y() + 11,
                    Ansi::toUnicode(NodeText::choiceNumber(edge.source->text())),
                    " fill=\"#1f5fa8\"");
        }
        out += "</g>\n";
    }
    for (size_t e = 0; e < graph.ends().size(); ++e) {
        const FlowGraph::End &end = graph.ends()[e];
        const QPointF start = layout.ends()[e];
        const double bar = start.y() + FlowLayout::kEndLength;
        out += "<g class=\"end\" data-from=\"" + QByteArray::number(boxes[size_t(end.box)].number) +
               '"';
        if (end.choice)
            out += " data-choice=\"" +
                   xml(Ansi::toUnicode(NodeText::choiceNumber(end.choice->text()))) + '"';
        out += "><path d=\"M" + number(start.x()) + ' ' + number(start.y()) + " L" +
               number(start.x()) + ' ' + number(bar) + " M" + number(start.x() - 6) + ' ' +
               number(bar) + " L" + number(start.x() + 6) + ' ' + number(bar) +
               "\" fill=\"none\" stroke=\"" + (end.choice ? "#1f5fa8" : "#333333") +
               "\" stroke-width=\"2\"/></g>\n";
    }
    for (size_t b = 0; b < boxes.size(); ++b) {
        const FlowGraph::Box &box = boxes[b];
        const QRectF &rect = layout.boxes()[b];
        const double x = rect.left() + FlowLayout::kPadding;
        double y = rect.top() + FlowLayout::kPadding + 12;
        const char *kind = box.foldedAnswer ? "folded" : box.choice ? "choice" : "text";
        const char *fill = box.foldedAnswer ? "#e8e8e8" : box.choice ? "#eef4fb" : "#fbfbf4";
        out += QByteArray("<g class=\"dialog ") + kind + "\" id=\"dialog" +
               QByteArray::number(box.number) + "\"><title>" + xml(FlowBoxText::tip(box)) +
               "</title>";
        if (box.foldedAnswer)
            out += "<rect x=\"" + number(rect.x() + 4) + "\" y=\"" + number(rect.y() + 4) +
                   "\" width=\"" + number(rect.width()) + "\" height=\"" + number(rect.height()) +
                   "\" fill=\"#e8e8e8\" stroke=\"#777777\"/>";
        out += "<rect x=\"" + number(rect.x()) + "\" y=\"" + number(rect.y()) + "\" width=\"" +
               number(rect.width()) + "\" height=\"" + number(rect.height()) +
               "\" rx=\"4\" fill=\"" + fill + "\" stroke=\"#333333\"/>";
        const int marks = actionMarks(out, box, rect);
        svgText(out, x, y, DialogSummary::elide(FlowBoxText::heading(box), kLineLength - 3 * marks),
                " font-weight=\"bold\"");
        for (const QString &line : FlowBoxText::lines(box)) {
            y += FlowLayout::kLineHeight;
            svgText(out, x, y, DialogSummary::elide(line, kLineLength));
        }
        out += "</g>\n";
    }
    out += "</svg>\n";
    return out;
}

QByteArray dot(const FlowGraph &graph)
{
    const std::vector<FlowGraph::Box> &boxes = graph.boxes();
    QByteArray out = "digraph flow {\n"
                     "  node [shape=box, fontname=\"sans-serif\", fontsize=10];\n"
                     "  edge [fontname=\"sans-serif\", fontsize=9];\n";
    auto name = [&boxes](int box) { return "d" + QByteArray::number(boxes[size_t(box)].number); };
    for (size_t b = 0; b < boxes.size(); ++b) {
        const FlowGraph::Box &box = boxes[b];
        QString label = Ansi::toUnicode(box.dialog->text());
        if (box.choice) {
            label += QStringLiteral(" (choice)");
            for (int row = 0; row < box.dialog->childCount(); ++row) {
                const DialogNode *choice = box.dialog->child(row);
                if (NodeText::isChoice(choice->text()))
                    label += u'\n' +
                             DialogSummary::elide(DialogSummary::answerLine(choice), kLineLength);
            }
        } else {
            label += u'\n' + DialogSummary::speaker(box.dialog) + QStringLiteral(": ") +
                     DialogSummary::elide(DialogSummary::firstLine(box.dialog), kLineLength);
        }
        out += "  " + name(int(b)) + " [label=" + dotString(label) +
               (box.choice ? ", style=rounded" : "") + "];\n";
    }
    int broken = 0;
    for (const FlowGraph::Edge &edge : graph.edges()) {
        out += "  " + name(edge.from) + " -> ";
        switch (edge.kind) {
        case FlowGraph::EdgeKind::Next:
            out += name(edge.to) + " [kind=next];\n";
            break;
        case FlowGraph::EdgeKind::Answer:
            out += name(edge.to) + " [kind=answer, color=\"#1f5fa8\", label=" +
                   dotString(Ansi::toUnicode(NodeText::choiceNumber(edge.source->text()))) + "];\n";
            break;
        case FlowGraph::EdgeKind::Goto:
            out += name(edge.to) + " [kind=goto, style=dashed, color=\"#7b3fa0\"];\n";
            break;
        case FlowGraph::EdgeKind::Broken: {
            const QByteArray mark = "broken" + QByteArray::number(++broken);
            out += mark + " [kind=broken, color=\"#c62828\", label=" +
                   dotString(Ansi::toUnicode(edge.source->text())) + "];\n  " + mark +
                   " [shape=point, color=\"#c62828\"];\n";
            break;
        }
        }
    }
    out += "}\n";
    return out;
}

} // namespace FlowExport
