#include "font_saving.h"

#include "platform/file_writing.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace FontSaving {

QString withExtension(const QString &fileName)
{
    const qsizetype separator =
        qMax(fileName.lastIndexOf(u'/'), fileName.lastIndexOf(QDir::separator()));
    if (fileName.lastIndexOf(u'.') > separator)
        return fileName;
    return fileName + QStringLiteral(".bmp");
}

CopyResult copyWithoutReplacing(const QString &sheet, const QString &target)
{
    // A dangling link counts as an existing file too: the copy must not write through it.
    if (QFileInfo::exists(target) || QFileInfo(target).isSymLink())
        return {CopyResult::AlreadyExists, QString()};
    const QString why = FileWriting::copyToNew(sheet, target);
    if (why.isEmpty())
        return {CopyResult::Copied, QString()};
    if (QFileInfo::exists(target) || QFileInfo(target).isSymLink())
        return {CopyResult::AlreadyExists, QString()};
    return {CopyResult::Failed, why};
}

} // namespace FontSaving
