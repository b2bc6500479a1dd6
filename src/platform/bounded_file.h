#pragma once

#include <QByteArray>
#include <QString>

// Reading a whole file with a size limit. Files the program opens on its own (configuration,
// Recent.txt, character files, registration files) must be regular files: a FIFO would block the
// program and a device such as /dev/zero never ends. A path the user names on the command line
// may be a pipe, but its bytes are still limited.
namespace BoundedFile {

enum class Status {
    Ok,
    Missing,    // absent
    NotRegular, // a folder, FIFO, device or socket after following links
    TooLarge,   // more than the limit
    Failed,     // present but unreadable
};

struct Result
{
    Status status = Status::Failed;
    QByteArray bytes;
    QString reason; // the system's reason when status is not Ok

    bool ok() const { return status == Status::Ok; }
};

// Reads path only if it is a regular file of at most maxBytes; never blocks on opening. Callers
// that only read treat NotRegular as Missing.
Result readRegular(const QString &path, qint64 maxBytes);

// As readRegular without reading: whether path could be read (the bytes stay empty). For files
// handed to a reader of another library, which would block on a FIFO or read a device for ever.
Result probeRegular(const QString &path, qint64 maxBytes);

// As readRegular, but a link is not followed either: it counts as NotRegular. For the program's
// private files, which nobody else should be able to point elsewhere.
Result readOwn(const QString &path, qint64 maxBytes);

// Reads at most maxBytes from whatever path names, pipes and devices included; a folder is
// refused. For paths the user gives explicitly.
Result readNamed(const QString &path, qint64 maxBytes);

} // namespace BoundedFile
