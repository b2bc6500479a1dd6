#include "native_path.h"

QString nativePath(const QString &path, QChar separator)
{
    QString result = path;
    result.replace(u'/', separator);
    return result;
}
