#include "recent_files.h"

#include "platform/ansi.h"
#include "platform/app_error.h"
#include "platform/bounded_file.h"
#include "platform/file_writing.h"
#include "platform/native_path.h"

#include <QFile>
#include <QFileInfo>

namespace {

QString upperAscii(const QString &text)
{
    QString result = text;
    for (QChar &c : result) {
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - u'a' + u'A');
    }
    return result;
}

// Lines end at CR LF, at a lone CR or at a lone LF.
QList<QByteArray> splitLines(const QByteArray &bytes)
{
    QList<QByteArray> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r' && bytes[i] != '\n')
            continue;
        lines.append(bytes.mid(start, i - start));
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < bytes.size())
        lines.append(bytes.mid(start));
    return lines;
}

// A line's path, in the file system's encoding. Earlier versions wrote Windows-1252, which a
// line that does not read back as itself in that encoding still is.
QString pathOf(const QByteArray &line)
{
    const QString path = QFile::decodeName(line);
    return QFile::encodeName(path) == line ? path : Ansi::toUnicode(line);
}

} // namespace

RecentFiles::RecentFiles(ProgramFolder folder) : m_folder(std::move(folder))
{
    for (int i = 0; i < kSlots; ++i)
        m_captions.append(emptySlot());
}

void RecentFiles::read()
{
    // Five paths; a FIFO or a device here must not hold or exhaust the program at start-up.
    const BoundedFile::Result file = BoundedFile::readRegular(fileName(), kMaxFileSize);
    if (file.status == BoundedFile::Status::Missing)
        return;
    if (!file.ok())
        throw AppError::cannotOpen(fileName(), file.reason);
    const QList<QByteArray> lines = splitLines(file.bytes);
    int slot = 0;
    for (qsizetype i = 0; i < std::min<qsizetype>(lines.size(), kSlots); ++i) {
        const QString path = pathOf(lines[i]);
        // Only files count: a line naming a folder drops out like a missing file.
        if (path != emptySlot() && QFileInfo(path).isFile())
            m_captions[slot++] = path;
    }
}

void RecentFiles::add(const QString &givenPath)
{
    // Stored as the platform writes paths, so that the list reads the same on every start.
    const QString path = nativePath(givenPath);
    // A path the file system's encoding cannot hold would be stored as another path.
    if (QFile::decodeName(QFile::encodeName(path)) != path)
        return;
    const QString key = upperAscii(path);
    bool listed = false;
    for (const QString &caption : std::as_const(m_captions))
        listed = listed || upperAscii(caption) == key;
    if (!listed) {
        m_captions.removeLast();
        m_captions.prepend(path);
    }
    write();
}

void RecentFiles::write() const
{
    QByteArray bytes;
    for (const QString &caption : m_captions)
        bytes += QFile::encodeName(caption) + "\r\n";
    FileWriting::replace(fileName(), bytes);
}
