#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

// One of the Windows code pages a translated dialog file may be written in: 1250 (Central
// European), 1251 (Cyrillic), 1252 (Western), 1253 (Greek), 1254 (Turkish) or 1257 (Baltic).
// Small tables of our own: Qt's converters know these only where ICU is built in.
class CodePage
{
public:
    static std::optional<CodePage> windows(int number);
    static QList<int> numbers();

    int number() const { return m_number; }
    QString decode(const QByteArray &bytes) const;
    // The text's bytes; nothing when a character does not fit, which *missing then names (a
    // surrogate pair whole).
    std::optional<QByteArray> encode(const QString &text, QString *missing = nullptr) const;
    // "The character "ж" (U+0436) is not in code page 1252."
    QString missingText(const QString &character) const;

private:
    CodePage(int number, const char16_t *high) : m_number(number), m_high(high) {}

    int m_number;
    const char16_t *m_high; // bytes 0x80 to 0xFF
};
