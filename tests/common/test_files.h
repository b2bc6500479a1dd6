#pragma once

#include <QByteArray>
#include <QString>

// Whole-file reads and writes for tests; a write that cannot open its file fails the test.
namespace TestFiles {

QByteArray read(const QString &path);
void write(const QString &path, const QByteArray &bytes);

} // namespace TestFiles
