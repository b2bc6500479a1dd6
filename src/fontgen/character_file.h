#pragma once

#include <QByteArray>
#include <QString>

// The character files of the Fonts folder: the measuring file and the three row files. There
// are no lines: after the line breaks are normalised to CR LF, every byte is one character.
namespace CharacterFile {

// A row file holds 32 characters; the limit leaves room for hand-made measuring files.
constexpr qint64 MaxFileSize = 64 * 1024;

// Reads the whole file; throws AppError "Cannot open file" when it cannot be read, is no regular
// file or is larger than MaxFileSize.
QByteArray read(const QString &path);

// Every lone CR, lone LF and CR LF becomes CR LF.
QByteArray normaliseLineBreaks(const QByteArray &bytes);

} // namespace CharacterFile
