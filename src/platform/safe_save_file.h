#pragma once

#include <QSaveFile>

#include <memory>

class QTemporaryFile;

// The way every file of the program is written: the bytes go to a temporary file beside the
// target, which replaces the target only on commit, so a failure never destroys the previous
// file. Beyond QSaveFile: a target that exists but is no regular file (a folder, a FIFO, a
// device) is refused at open and left untouched; a link is followed, so the file it points to
// is written and the link stays; a folder where no new file may be created still lets a
// writable target be saved in place, after its previous bytes have been kept in the user's
// temporary folder, and they are put back when the write fails or is abandoned. The saved file
// keeps the previous file's permissions. Commit only keeps the new bytes when every byte
// reached the disk.
class SafeSaveFile : public QSaveFile
{
public:
    explicit SafeSaveFile(const QString &name);
    ~SafeSaveFile() override;

    bool open(OpenMode mode) override;
    // As QSaveFile::commit, but a failure to write the last buffered bytes (a disk that fills up
    // half-way) fails the commit with the system's reason as the error string and leaves the
    // target as it was; Qt would put the cut file in place and report success.
    bool commit();

private:
    bool keepPrevious();
    // Puts the kept bytes back into the target; an empty string when that worked, else why not.
    QString restorePrevious();

    QString m_target;
    std::unique_ptr<QTemporaryFile> m_previous; // set while writing in place
};
