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
    // A dialog number, or 0 for an action whose dialog was deleted; -1 for anything else.
    auto target = [](QByteArrayView number) {
        if (number == "0")
            return 0;
        const int parsed = parseNumber(number, kActionMaximum);
        return parsed ? parsed : -1;
    };
    ActionReference reference;
    if (text.startsWith("Goto = ")) {
        reference.dialog = target(QByteArrayView(text).sliced(7));
        reference.kind = Goto;
    } else if (text.startsWith("Delete = ")) {
        const QByteArrayView rest = QByteArrayView(text).sliced(9);
        const qsizetype from = rest.indexOf(" from ");
        if (from < 0) {
            reference.dialog = target(rest);
            reference.kind = DeleteDialog;
        } else {
            reference.choice = parseNumber(rest.first(from), kActionMaximum);
            reference.dialog = reference.choice ? target(rest.sliced(from + 6)) : -1;
            reference.kind = DeleteChoice;
        }
    }
    if (reference.dialog < 0)
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
