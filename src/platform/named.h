#pragma once

#include <QObject>

// Gives a control the name the rest of the program and the tests know it by, and hands it back
// so that it can be made, named and placed in one expression.
template <typename T> T *named(T *object, const char *name)
{
    object->setObjectName(QLatin1String(name));
    return object;
}
