#pragma once

#include <QObject>

// Gives a control its object name (one of ObjectNames), and hands it back so that it can be made,
// named and placed in one expression.
template <typename T> T *named(T *object, const char *name)
{
    object->setObjectName(QLatin1String(name));
    return object;
}
