#include "glyph_painter.h"

#include <QPainterPath>

GlyphPainter::GlyphPainter(QImage &image, const GlyphMetrics &metrics, const FontSettings &settings)
    : m_painter(&image), m_metrics(metrics), m_settings(settings),
      m_foreground(QColor::fromRgb(settings.foreground)),
      m_background(QColor::fromRgb(settings.background))
{
    m_painter.setFont(metrics.font());
    m_painter.setRenderHint(QPainter::Antialiasing);
}

void GlyphPainter::drawGlyph(char byte, int cellX, int cellY, int cellWidth)
{
    const int x = glyphX(cellX, cellWidth, m_metrics.advance(byte));
    const int y = cellY;
    if (m_settings.shadow) {
        m_transparentFill = true;
        textOut(x + m_settings.shadowSize, y + m_settings.shadowSize, byte,
                QColor::fromRgb(m_settings.shadowColor));
    }
    if (m_settings.outline) {
        drawOutlinedText(x, y, QString(GlyphMetrics::charOf(byte)), m_foreground,
                         QColor::fromRgb(m_settings.outlineColor), m_settings.outlineSize);
    } else {
        textOut(x, y, byte, m_foreground);
    }
}

void GlyphPainter::drawOutlinedText(int x, int y, const QString &text, const QColor &fill,
                                    const QColor &outline, int penWidth)
{
    m_transparentFill = false;
    QPainterPath path;
    path.addText(QPointF(x, y + m_metrics.ascent()), m_metrics.font(), text);
    path.setFillRule(Qt::OddEvenFill);
    m_painter.fillPath(path, fill);
    const bool wide = penWidth > 1;
    const QPen pen(outline, penWidth, Qt::SolidLine, wide ? Qt::RoundCap : Qt::SquareCap,
                   wide ? Qt::RoundJoin : Qt::MiterJoin);
    m_painter.strokePath(path, pen);
}

void GlyphPainter::textOut(int x, int y, char byte, const QColor &colour)
{
    if (!m_transparentFill)
        m_painter.fillRect(x, y, m_metrics.advance(byte), m_metrics.lineHeight(), m_background);
    m_painter.setPen(colour);
    m_painter.drawText(QPoint(x, y + m_metrics.ascent()), QString(GlyphMetrics::charOf(byte)));
}
