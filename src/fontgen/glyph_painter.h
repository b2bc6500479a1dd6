#pragma once

#include "fontgen/font_settings.h"
#include "fontgen/glyph_metrics.h"

#include <QColor>
#include <QPainter>

// Draws glyphs onto one image: the glyph step shared by the sheet and the live preview. It keeps
// the text fill of the surface between glyphs: opaque in the background colour at first,
// transparent from the first shadow on, solid again after an outlined glyph.
class GlyphPainter
{
public:
    GlyphPainter(QImage &image, const GlyphMetrics &metrics, const FontSettings &settings);

    // The glyph's x in a cell at cellX, cellWidth wide: each half rounded down on its own.
    static int glyphX(int cellX, int cellWidth, int advance)
    {
        return cellX + cellWidth / 2 - advance / 2;
    }

    // One character at the top of the cell at (cellX, cellY), centred across cellWidth, with its
    // shadow first and then its face, plain or outlined.
    void drawGlyph(char byte, int cellX, int cellY, int cellWidth);
    // True when the glyph of a cell that far to the right cannot reach x < edge, so drawing it
    // can be left out (clipping would lose it anyway). A line height is ample for any overhang of
    // the glyph itself; an outline reaches out by up to its pen width on top of that.
    bool isPastEdge(qint64 cellX, int cellWidth, char byte, int edge) const
    {
        const qint64 reach = m_metrics.lineHeight() +
                             (m_settings.outline ? qAbs(qint64(m_settings.outlineSize)) : 0);
        return cellX + cellWidth / 2 - m_metrics.advance(byte) / 2 - reach > edge;
    }

    // The text filled with the even-odd rule, then its contours stroked with a pen centred on
    // them, round joins and caps when the pen is wider than one pixel.
    void drawOutlinedText(int x, int y, const QString &text, const QColor &fill,
                          const QColor &outline, int penWidth);

private:
    // Text with the top-left corner of its text cell at (x, y).
    void textOut(int x, int y, char byte, const QColor &colour);

    QPainter m_painter;
    const GlyphMetrics &m_metrics;
    const FontSettings &m_settings;
    QColor m_foreground;
    QColor m_background;
    bool m_transparentFill = false;
};
