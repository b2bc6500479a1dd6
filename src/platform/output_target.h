#pragma once

#include <QString>
#include <QStringList>

// Where a writer of the program may put its output; one rule for every writer of the editor
// and of talmero-cli. A target that exists must be a regular file: a FIFO would block the
// writer, and a device, a folder or a link to one would be written into or replaced. A target
// must not be one of the files the output is made from either: writing it would destroy the
// input while it is read. Files are compared by device and inode, so a link or another path
// to the same file counts as that file.
namespace OutputTarget {

// Why path may not take the output made from inputs; empty when it may.
QString refusal(const QString &path, const QStringList &inputs = {});
// Throws AppError "Cannot create file ..." with the refusal.
void check(const QString &path, const QStringList &inputs = {});
// Whether both paths name the same existing file.
bool sameFile(const QString &a, const QString &b);

} // namespace OutputTarget
