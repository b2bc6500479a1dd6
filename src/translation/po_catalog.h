#pragma once

#include "translated_copy.h"

#include <QString>

// Reads the translations of a PO file with gettext's own parser (libgettextpo), so that every
// PO file gettext's tools accept reads the same here. Builds without libgettextpo read nothing.
namespace PoCatalog {

// Whether this build can read PO files.
bool available();
// What a build without the reader says.
QString unavailableText();
// The finished and fuzzy translations by message id, and what the author is told about the
// file: a plural entry (its first form is used), a text that stands in several contexts with
// one translation. Throws AppError "FILE:LINE: what is wrong" for a malformed file or a string
// holding a NUL, the reason a file cannot be read, and an error for a file whose texts would
// come out wrong: a character set that does not decode it cleanly (a file in UTF-8 under
// another name, C1 control characters), a text translated differently in two contexts.
TranslatedCopy::Translations read(const QString &fileName);

} // namespace PoCatalog
