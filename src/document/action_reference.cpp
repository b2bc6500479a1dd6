#include "action_reference.h"

#include "node_text.h"

namespace {

constexpr int kActionMaximum = 9999;

} // namespace

int ActionReference::parseNumber(QByteArrayView text, int maximum)
{
    if (text.isEmpty() || text.size() > 10 || text[0] == '0')
        return 0;
    qint64 value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return 0;
        value = value * 10 + (c - '0');
    }
    return value <= maximum ? int(value) : 0;
}

bool ActionReference::mayName(const QByteArray &text)
{
    return text.startsWith("Goto = ") || text.startsWith("Delete = ");
}

ActionReference ActionReference::parse(const QByteArray &text)
{
    ActionReference reference;
    if (text.startsWith("Goto = ")) {
        reference.dialog = parseNumber(text.mid(7), kActionMaximum);
        reference.kind = reference.dialog ? Goto : None;
    } else if (text.startsWith("Delete = ")) {
        const QByteArray rest = text.mid(9);
        const int from = rest.indexOf(" from ");
        if (from < 0) {
            reference.dialog = parseNumber(rest, kActionMaximum);
            reference.kind = reference.dialog ? DeleteDialog : None;
        } else {
            reference.choice = parseNumber(rest.left(from), kActionMaximum);
            reference.dialog = parseNumber(rest.mid(from + 6), kActionMaximum);
            reference.kind = reference.choice && reference.dialog ? DeleteChoice : None;
        }
    }
    if (reference.kind == None)
        reference = ActionReference();
    return reference;
}

QByteArray ActionReference::text() const
{
    switch (kind) {
    case Goto:
        return NodeText::gotoDialog(dialog);
    case DeleteDialog:
        return NodeText::deleteDialog(dialog);
    case DeleteChoice:
        return NodeText::deleteChoice(choice, dialog);
    case None:
        break;
    }
    return QByteArray();
}
