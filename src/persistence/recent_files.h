#pragma once

#include "platform/program_folder.h"

#include <QStringList>

// The recent-files list: five slots, newest first, "empty" marking a free slot, kept in
// "Recent.txt" beside the program: the paths in the file system's encoding (UTF-8 on Linux, the
// ANSI code page on Windows), CR LF after every line.
class RecentFiles
{
public:
    static constexpr int kSlots = 5;
    // Five paths of at most a few thousand characters each.
    static constexpr qint64 kMaxFileSize = 64 * 1024;
    static QString emptySlot() { return QStringLiteral("empty"); }

    explicit RecentFiles(ProgramFolder folder);

    const QStringList &captions() const { return m_captions; }
    QString fileName() const { return m_folder.userFile(QStringLiteral("Recent.txt")); }

    // Fills the slots from the first five lines of Recent.txt whose files exist, in their file
    // order (folders do not count); the other slots read "empty". A missing file or one with
    // fewer lines is no error.
    // Throws AppError ("Cannot open file ...") for a file that exists but cannot be read, is no
    // regular file (a folder, FIFO or device, which is never opened) or is larger than
    // kMaxFileSize.
    void read();
    // Puts path at the top unless a slot already holds it (letters a to z compared without
    // regard to case); a path already listed keeps its place. Then rewrites Recent.txt, throwing
    // AppError ("Cannot create file ...") when that fails; the slots are changed already. A path
    // the file system's encoding cannot hold exactly is not added, and nothing is written.
    void add(const QString &path);

private:
    void write() const;

    ProgramFolder m_folder;
    QStringList m_captions;
};
