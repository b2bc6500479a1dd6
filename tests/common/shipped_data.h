#pragma once

#include <QString>

// Lays the data the program ships beside itself (the font generator's character files) into a
// temporary program folder, so that a whole program started there begins without an error.
namespace ShippedData {

void installFonts(const QString &programFolder);

} // namespace ShippedData
