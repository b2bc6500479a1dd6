#include "color_swatch.h"

#include <QMouseEvent>

ColorSwatch::ColorSwatch(quint32 rgb, QWidget *parent) : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    setFixedSize(22, 22);
    setCursor(Qt::PointingHandCursor);
    setAutoFillBackground(true);
    setColor(rgb);
}

void ColorSwatch::setColor(quint32 rgb)
{
    m_rgb = rgb & 0xFFFFFF;
    QPalette swatch = palette();
    swatch.setColor(QPalette::Window, QColor::fromRgb(m_rgb));
    setPalette(swatch);
}

void ColorSwatch::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QFrame::mouseReleaseEvent(event);
}
