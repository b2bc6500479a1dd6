#pragma once

#include <QByteArray>
#include <QString>

// Texts inside documents and the program's text files are bytes of the ANSI code page, which is
// Windows-1252 on every platform. Conversion happens only where text meets the widgets or the
// terminal.
namespace Ansi {

QString toUnicode(const QByteArray &bytes);
// A character the code page lacks becomes "?".
QByteArray fromUnicode(const QString &text);
// The first character of text that the code page lacks (a surrogate pair whole); empty when
// every character fits.
QString firstUnrepresentable(const QString &text);
// A character as the author is told of it: "ł" (U+0142), in double quotes.
QString named(const QString &character);
// What the author is told when text holds such a character: "The character "ł" (U+0142) cannot
// be stored in a dialog file."
QString unrepresentableText(const QString &character);

// Upper case for the bytes a to z only; every other byte, accented letters included, stays.
QByteArray upperAscii(const QByteArray &bytes);

} // namespace Ansi
