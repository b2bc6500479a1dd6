#include "variable_operation.h"

#include "node_text.h"
#include "variable_value.h"

QByteArray VariableOperation::text() const
{
    return NodeText::setVariable(type, name, value);
}

bool VariableOperation::fits() const
{
    return valueFitsType(value, type);
}

std::optional<VariableOperation> VariableOperation::parse(const QByteArray &text)
{
    const QByteArray rest = text.startsWith("Set ") ? text.mid(4) : text;
    const qsizetype blank = rest.indexOf(' ');
    if (blank <= 0)
        return std::nullopt;
    VariableOperation operation;
    operation.type = rest.left(blank);
    qsizetype equals = rest.indexOf(" = ", blank);
    if (equals < 0)
        return std::nullopt;
    for (qsizetype at = equals; at >= 0; at = rest.indexOf(" = ", at + 1)) {
        equals = at;
        if (valueFitsType(rest.mid(at + 3), operation.type))
            break;
    }
    operation.name = rest.mid(blank + 1, equals - blank - 1);
    operation.value = rest.mid(equals + 3);
    return operation;
}

QString VariableOperation::wrongTypeText()
{
    return QStringLiteral("The variable seems to have the wrong type!\n\r\n\rexpamles:"
                          "\n\r Char: a\n\r  Short: 123\n\r Float: 123.001\n\r "
                          "String: This is a test");
}
