#pragma once

#include <QSaveFile>

// The way every file of the program is written: the bytes go to a temporary file beside the
// target, which replaces the target only on commit, so a failure never destroys the previous
// file. Beyond QSaveFile: a target that exists but is no regular file (a folder, a FIFO, a
// device) is refused at open and left untouched; a link is followed, so the file it points to
// is written and the link stays; a folder where no new file may be created still lets a
// writable target be saved in place. The saved file keeps the previous file's permissions.
// Commit only replaces the target when every byte reached the disk.
class SafeSaveFile : public QSaveFile
{
public:
    explicit SafeSaveFile(const QString &name);

    bool open(OpenMode mode) override;
    // As QSaveFile::commit, but a failure to write the last buffered bytes (a disk that fills up
    // half-way) fails the commit with the system's reason as the error string and leaves the
    // target as it was; Qt would put the cut file in place and report success.
    bool commit();
};
