#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// The parts of a variable operation, "Set " + type + " " + name + " = " + value. The name is
// free text and may itself hold " = ": the value is split off at the first " = " after which it
// fits the type, so "Set String a = b = c" sets a to "b = c" and "Set Short a = b = 5" sets
// "a = b" to 5.
struct VariableOperation
{
    QByteArray type;
    QByteArray name;
    QByteArray value;

    bool operator==(const VariableOperation &) const = default;

    // The node text of this operation.
    QByteArray text() const;
    // Whether the value fits the type, as the Set action checks it.
    bool fits() const;

    // text with or without its "Set " in front; none when it has no type and no " = ". A value
    // that fits no split is taken after the last " = ".
    static std::optional<VariableOperation> parse(const QByteArray &text);
    // What the author is told when a value does not fit its type.
    static QString wrongTypeText();
};
