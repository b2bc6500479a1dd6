#include "glyph_metrics.h"

#include "platform/ansi.h"

#include <QGuiApplication>
#include <QScreen>

namespace {

int screenDpi()
{
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        return qRound(screen->logicalDotsPerInchY());
    return 96;
}

} // namespace

GlyphMetrics::GlyphMetrics(const FontChoice &choice)
    : m_surface(1, 1, QImage::Format_RGB32), m_font(fontFor(choice)), m_metrics(m_font, &m_surface),
      m_ascent(m_metrics.ascent()), m_lineHeight(m_metrics.ascent() + m_metrics.descent())
{
    m_advances.fill(-1);
}

QFont GlyphMetrics::fontFor(const FontChoice &choice)
{
    QFont font(choice.family);
    // Points to pixels as the system does it, rounded to the nearest pixel.
    font.setPixelSize(qMax(1, qRound(choice.pointSize * screenDpi() / 72.0)));
    font.setBold(choice.bold);
    font.setItalic(choice.italic);
    font.setUnderline(choice.underline);
    font.setStrikeOut(choice.strikeout);
    return font;
}

QChar GlyphMetrics::charOf(char byte)
{
    return Ansi::toUnicode(QByteArray(1, byte)).at(0);
}

int GlyphMetrics::advance(char byte) const
{
    int &cached = m_advances[static_cast<unsigned char>(byte)];
    if (cached < 0)
        cached = m_metrics.horizontalAdvance(charOf(byte));
    return cached;
}

int GlyphMetrics::cellWidthOf(const QByteArray &characters, int spaceX) const
{
    int widest = 0;
    for (const char c : characters)
        widest = qMax(widest, advance(c));
    return widest + spaceX;
}

int GlyphMetrics::cellHeightOf(const QByteArray &characters, int spaceY) const
{
    // The text height of one character is the font's line height, whatever the character.
    return (characters.isEmpty() ? 0 : m_lineHeight) + spaceY;
}
