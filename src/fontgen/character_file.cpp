#include "character_file.h"

#include "platform/app_error.h"
#include "platform/bounded_file.h"

namespace CharacterFile {

QByteArray read(const QString &path)
{
    const BoundedFile::Result file = BoundedFile::readRegular(path, MaxFileSize);
    if (!file.ok())
        throw AppError::cannotOpen(path, file.reason);
    return normaliseLineBreaks(file.bytes);
}

QByteArray normaliseLineBreaks(const QByteArray &bytes)
{
    QByteArray result;
    result.reserve(bytes.size() + bytes.size() / 8);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes.at(i);
        if (c == '\r') {
            result.append("\r\n", 2);
            if (i + 1 < bytes.size() && bytes.at(i + 1) == '\n')
                ++i;
        } else if (c == '\n') {
            result.append("\r\n", 2);
        } else {
            result.append(c);
        }
    }
    return result;
}

} // namespace CharacterFile
