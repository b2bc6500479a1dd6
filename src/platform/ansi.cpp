#include "ansi.h"

#include <array>

namespace {

// Windows-1252 bytes 0x80 to 0x9F. The five bytes the code page leaves undefined map to the C1
// control characters of the same value, as Windows itself converts them.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char toByte(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return char(c);
    for (int i = 0; i < 32; ++i) {
        if (kHighControls[i] == c)
            return char(0x80 + i);
    }
    return '?';
}

} // namespace

namespace Ansi {

QString toUnicode(const QByteArray &bytes)
{
    QString result(bytes.size(), Qt::Uninitialized);
    QChar *out = result.data();
    for (const char b : bytes) {
        const auto u = static_cast<unsigned char>(b);
        *out++ = (u >= 0x80 && u < 0xA0) ? QChar(kHighControls[u - 0x80]) : QChar(char16_t(u));
    }
    return result;
}

QByteArray fromUnicode(const QString &text)
{
    QByteArray result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i; // one character outside the code page, one "?"
        result.append(c.isSurrogate() ? '?' : toByte(c.unicode()));
    }
    return result;
}

QString firstUnrepresentable(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            return text.mid(i, 2);
        if (c.isSurrogate() || (toByte(c.unicode()) == '?' && c != u'?'))
            return QString(c);
    }
    return QString();
}

QString named(const QString &character)
{
    const char32_t code = character.size() == 2
                              ? QChar::surrogateToUcs4(character[0], character[1])
                              : (character.isEmpty() ? U'?' : char32_t(character[0].unicode()));
    return QStringLiteral("\"%1\" (U+%2)")
        .arg(character, QString::number(uint(code), 16).toUpper().rightJustified(4, u'0'));
}

QString unrepresentableText(const QString &character)
{
    return QStringLiteral("The character %1 cannot be stored in a dialog file.")
        .arg(named(character));
}

QByteArray upperAscii(const QByteArray &bytes)
{
    QByteArray result = bytes;
    for (char &c : result) {
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    }
    return result;
}

} // namespace Ansi
