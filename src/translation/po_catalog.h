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
// The finished and fuzzy translations by message id. Throws AppError "FILE:LINE: what is
// wrong" for a malformed file, or the reason a file cannot be read.
TranslatedCopy::Translations read(const QString &fileName);

} // namespace PoCatalog
