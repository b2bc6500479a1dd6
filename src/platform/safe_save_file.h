#pragma once

#include <QSaveFile>

// The way every file of the program is written: the bytes go to a temporary file beside the
// target, which replaces the target only on commit, so a failure never destroys the previous
// file. Beyond QSaveFile: a target that exists but is no regular file (a folder, a FIFO, a
// device) is refused at open and left untouched; a link is followed, so the file it points to
// is written and the link stays; a folder where no new file may be created still lets a
// writable target be saved in place. The saved file keeps the previous file's permissions.
class SafeSaveFile : public QSaveFile
{
public:
    explicit SafeSaveFile(const QString &name);

    bool open(OpenMode mode) override;
};
