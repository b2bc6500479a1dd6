#pragma once

#include <QChar>
#include <QDir>
#include <QString>

// A path as the program shows or stores it: every "/" becomes separator. Callers pass
// QDir::separator(); tests pass the other platform's.
QString nativePath(const QString &path, QChar separator = QDir::separator());
