#pragma once

#include "platform/prompter.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <array>

// The chosen font with the measures the glyph step and the cell size are built from: the advance
// width of one character and the line height (ascent plus descent), whole pixels. Drawing uses
// the same font object, so the numbers agree with what is drawn.
class GlyphMetrics
{
public:
    explicit GlyphMetrics(const FontChoice &choice);

    // The font at its pixel size for the screen's resolution.
    static QFont fontFor(const FontChoice &choice);
    // The character of the ANSI code page that a byte stands for.
    static QChar charOf(char byte);

    const QFont &font() const { return m_font; }
    int ascent() const { return m_ascent; }
    int lineHeight() const { return m_lineHeight; }
    int advance(char byte) const;

    // The cell width and height for a measuring sequence: the widest advance and the tallest text
    // height of any one character, plus the character space. Nothing to measure gives the space.
    int cellWidthOf(const QByteArray &characters, int spaceX) const;
    int cellHeightOf(const QByteArray &characters, int spaceY) const;

private:
    QImage m_surface; // the measuring surface: the same kind of device the glyphs are drawn on
    QFont m_font;
    QFontMetrics m_metrics;
    int m_ascent;
    int m_lineHeight;
    mutable std::array<int, 256> m_advances; // -1 until measured
};
