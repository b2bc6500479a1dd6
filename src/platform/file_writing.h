#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class QFileDevice;

// Writing whole files with errors that name the system's reason.
namespace FileWriting {

// Replaces path with bytes through a temporary file in the same folder, so a failure leaves
// the old file whole. Throws AppError "Cannot create file" with the system's reason, also when
// OutputTarget refuses path as the output made from inputs; nothing is written then.
void replace(const QString &path, const QByteArray &bytes, const QStringList &inputs = {});

// Copies source into target, which must not exist yet; a link there is not written through.
// Returns an empty string, or the system's reason (a full disk says so); a copy cut short is
// removed.
QString copyToNew(const QString &source, const QString &target);

// The reason of a failed call on file. Qt leaves a short write without an error of its own
// ("Unknown error", e.g. when the disk is full), so savedErrno, the errno taken right after the
// failing call, gives the reason then.
QString reason(const QFileDevice &file, int savedErrno);

} // namespace FileWriting
