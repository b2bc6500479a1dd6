#include "ini_file.h"

#include "platform/ansi.h"
#include "platform/bounded_file.h"

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

QByteArray trimmed(const QByteArray &text)
{
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && isBlank(text[from]))
        ++from;
    while (to > from && isBlank(text[to - 1]))
        --to;
    return text.mid(from, to - from);
}

// One pair of the same quotation mark around the whole value goes.
QByteArray unquoted(const QByteArray &value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return value.mid(1, value.size() - 2);
    return value;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

IniFile::IniFile(const QString &path)
{
    // A configuration is a few dozen lines; anything that is no regular file or larger than
    // this reads like a missing file.
    const BoundedFile::Result file = BoundedFile::readRegular(path, MaxFileSize);
    if (file.ok())
        parse(file.bytes);
}

IniFile IniFile::fromBytes(const QByteArray &bytes)
{
    IniFile ini;
    ini.parse(bytes);
    return ini;
}

void IniFile::parse(const QByteArray &bytes)
{
    QByteArray text = bytes;
    if (text.startsWith("\xEF\xBB\xBF"))
        text.remove(0, 3);
    for (const QByteArray &rawLine : text.split('\n')) {
        const QByteArray line = trimmed(rawLine);
        if (line.startsWith('[')) {
            const qsizetype close = line.lastIndexOf(']');
            if (close > 0) {
                m_sections.append({Ansi::upperAscii(trimmed(line.mid(1, close - 1))), {}});
                continue;
            }
        }
        const qsizetype equals = line.indexOf('=');
        // Keys before the first section header belong to none; a line without "=" names no
        // value, so such a key reads as its default.
        if (m_sections.isEmpty() || equals < 0)
            continue;
        QByteArray value = unquoted(trimmed(line.mid(equals + 1)));
        value.truncate(MaxValueLength);
        m_sections.last().entries.append({Ansi::upperAscii(trimmed(line.left(equals))), value});
    }
}

QByteArray IniFile::readString(const QByteArray &section, const QByteArray &key,
                               const QByteArray &defaultValue) const
{
    const QByteArray wantedSection = Ansi::upperAscii(section);
    const QByteArray wantedKey = Ansi::upperAscii(key);
    for (const Section &s : m_sections) {
        if (s.name != wantedSection)
            continue;
        for (const Entry &entry : s.entries) {
            if (entry.key == wantedKey)
                return entry.value;
        }
        break;
    }
    return defaultValue;
}

qint32 IniFile::readInteger(const QByteArray &section, const QByteArray &key,
                            qint32 defaultValue) const
{
    return parseInteger(readString(section, key, QByteArray())).value_or(defaultValue);
}

std::optional<qint32> IniFile::parseInteger(const QByteArray &text)
{
    qsizetype at = 0;
    bool negative = false;
    if (at < text.size() && (text[at] == '-' || text[at] == '+'))
        negative = text[at++] == '-';
    int base = 10;
    if (text.mid(at, 1) == "$") {
        base = 16;
        at += 1;
    } else if (text.mid(at, 2) == "0x" || text.mid(at, 2) == "0X") {
        base = 16;
        at += 2;
    }
    if (at >= text.size())
        return std::nullopt;
    // Decimal must fit a signed 32-bit number; hexadecimal may use all 32 bits.
    const quint64 limit = base == 16 ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
    quint64 value = 0;
    for (; at < text.size(); ++at) {
        const int digit = hexDigit(text[at]);
        if (digit < 0 || digit >= base)
            return std::nullopt;
        value = value * quint64(base) + quint64(digit);
        if (value > limit)
            return std::nullopt;
    }
    const auto bits = quint32(value);
    return negative ? qint32(0u - bits) : qint32(bits);
}
