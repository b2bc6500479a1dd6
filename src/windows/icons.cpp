#include "icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace Icons {

namespace {

void drawBubble(QPainter &p, const QColor &color)
{
    QPainterPath bubble;
    bubble.addRoundedRect(QRectF(2, 3, 20, 13), 4, 4);
    bubble.moveTo(6, 15);
    bubble.lineTo(5, 21);
    bubble.lineTo(11, 15);
    p.setPen(QPen(color.darker(160), 1.2));
    p.setBrush(color);
    p.drawPath(bubble.simplified());
}

void drawPlus(QPainter &p, const QPointF &centre, qreal size, const QColor &color)
{
    p.setPen(QPen(color, 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre - QPointF(size, 0), centre + QPointF(size, 0));
    p.drawLine(centre - QPointF(0, size), centre + QPointF(0, size));
}

void drawCross(QPainter &p, const QRectF &box, const QColor &color)
{
    p.setPen(QPen(color, 2.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(box.topLeft(), box.bottomRight());
    p.drawLine(box.topRight(), box.bottomLeft());
}

QPixmap draw(Kind kind)
{
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor green(46, 139, 87);
    const QColor red(196, 48, 43);
    const QColor blue(47, 94, 168);
    switch (kind) {
    case AddDialog:
        drawBubble(p, QColor(250, 236, 170));
        drawPlus(p, QPointF(17, 17), 4.5, green);
        break;
    case AddChoice:
        drawPlus(p, QPointF(12, 12), 7, green);
        break;
    case RemoveChoice:
        p.setPen(QPen(red, 2.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(5, 12), QPointF(19, 12));
        break;
    case ClearChoices:
        drawCross(p, QRectF(6, 6, 12, 12), red);
        break;
    case AddDecision: {
        p.setPen(QPen(blue, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawLine(QPointF(4, 12), QPointF(10, 12));
        p.drawLine(QPointF(10, 12), QPointF(18, 5));
        p.drawLine(QPointF(10, 12), QPointF(18, 19));
        p.setBrush(blue);
        p.drawEllipse(QPointF(18, 5), 2, 2);
        p.drawEllipse(QPointF(18, 19), 2, 2);
        break;
    }
    case AddAction:
        p.setPen(QPen(QColor(120, 90, 20), 1.2));
        p.setBrush(QColor(255, 210, 80));
        p.drawPolygon(QPolygonF({QPointF(13, 2), QPointF(5, 13), QPointF(11, 13), QPointF(9, 22),
                                 QPointF(19, 9), QPointF(13, 9)}));
        break;
    case Update:
        p.setPen(QPen(green, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({QPointF(5, 13), QPointF(10, 18), QPointF(19, 6)}));
        break;
    case Delete:
        p.setPen(QPen(QColor(90, 90, 90), 1.2));
        p.setBrush(QColor(225, 225, 225));
        p.drawRect(QRectF(6, 7, 12, 14));
        p.drawRect(QRectF(4, 4, 16, 3));
        drawCross(p, QRectF(9, 10, 6, 8), red);
        break;
    case Search:
        p.setPen(QPen(blue, 2.4, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(QColor(220, 235, 250));
        p.drawEllipse(QPointF(10, 10), 6, 6);
        p.drawLine(QPointF(14.5, 14.5), QPointF(20, 20));
        break;
    case Generate:
        p.setPen(QPen(QColor(150, 110, 30), 1.2));
        p.setBrush(QColor(240, 200, 100));
        p.drawRect(QRectF(2, 7, 20, 14));
        p.drawRect(QRectF(2, 4, 8, 4));
        p.setPen(QPen(QColor(255, 255, 255), 1));
        drawPlus(p, QPointF(12, 14), 4, QColor(120, 70, 0));
        break;
    case Close:
        p.setPen(QPen(QColor(90, 60, 40), 1.2));
        p.setBrush(QColor(170, 120, 80));
        p.drawRect(QRectF(5, 3, 11, 18));
        p.setBrush(QColor(250, 220, 120));
        p.drawEllipse(QPointF(13, 12), 1.2, 1.2);
        p.setPen(QPen(red, 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(16, 12), QPointF(22, 12));
        p.drawLine(QPointF(19, 9), QPointF(22, 12));
        p.drawLine(QPointF(19, 15), QPointF(22, 12));
        break;
    case Application:
        drawBubble(p, QColor(120, 170, 230));
        p.setPen(QPen(Qt::white, 1.6));
        p.drawLine(QPointF(6, 8), QPointF(18, 8));
        p.drawLine(QPointF(6, 11.5), QPointF(14, 11.5));
        break;
    }
    return pixmap;
}

} // namespace

QIcon icon(Kind kind)
{
    return QIcon(draw(kind));
}

} // namespace Icons
