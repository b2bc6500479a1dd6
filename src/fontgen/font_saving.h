#pragma once

#include <QString>

// Saving a rendered sheet under a name the user chose.
namespace FontSaving {

// The name with ".bmp" appended when it has no extension: no dot after its last path separator.
// A trailing dot counts as an extension; a dot in a folder name does not.
QString withExtension(const QString &fileName);

struct CopyResult
{
    enum Outcome { Copied, AlreadyExists, Failed };
    Outcome outcome;
    QString reason; // the system's reason when the copy failed
};

// Copies the sheet to target, never replacing a file that is already there.
CopyResult copyWithoutReplacing(const QString &sheet, const QString &target);

} // namespace FontSaving
