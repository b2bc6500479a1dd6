#include "flow_overview.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr int kFrame = 1;

} // namespace

FlowOverview::FlowOverview(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FlowMapOverview"));
    setCursor(Qt::PointingHandCursor);
    setToolTip(QStringLiteral("The whole map: click or drag to move"));
}

void FlowOverview::setPicture(const QImage &picture, const QSizeF &mapSize)
{
    m_picture = picture;
    m_mapSize = mapSize;
    resize(picture.size() + QSize(2 * kFrame, 2 * kFrame));
    update();
}

void FlowOverview::setShownPart(const QRectF &visible)
{
    if (visible == m_visible)
        return;
    m_visible = visible;
    update();
}

void FlowOverview::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(QColor(0x80, 0x80, 0x80));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    painter.drawImage(kFrame, kFrame, m_picture);
    if (m_mapSize.isEmpty())
        return;
    const double scale = m_picture.width() / m_mapSize.width();
    const QRectF marked(kFrame + m_visible.left() * scale, kFrame + m_visible.top() * scale,
                        m_visible.width() * scale, m_visible.height() * scale);
    painter.setPen(QPen(QColor(0xe0, 0x8a, 0x00), 2));
    painter.setBrush(QColor(0xe0, 0x8a, 0x00, 0x30));
    painter.drawRect(marked.intersected(QRectF(rect()).adjusted(1, 1, -1, -1)));
}

QPointF FlowOverview::toMap(const QPointF &point) const
{
    if (m_picture.isNull())
        return QPointF();
    const double scale = m_mapSize.width() / m_picture.width();
    return (point - QPointF(kFrame, kFrame)) * scale;
}

void FlowOverview::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit moveRequested(toMap(event->position()));
}

void FlowOverview::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() & Qt::LeftButton)
        emit moveRequested(toMap(event->position()));
}
