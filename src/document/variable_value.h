#pragma once

#include <QByteArray>

// Whether a variable operation's new value fits its type. "Char": exactly one character;
// "Float": digits and at most one point; "Short": digits only; any other type: anything.
// No sign, exponent, blank or range is accepted or tested.
bool valueFitsType(const QByteArray &value, const QByteArray &type);
