#include "reading_start.h"

#include "dialog_finder.h"
#include "document/action_reference.h"
#include "document/dialog_numbers.h"
#include "document/dialog_tree.h"
#include "document/game_state.h"
#include "document/node_text.h"
#include "document/reading_lines.h"
#include "platform/ansi.h"

#include <limits>

QString DialogRef::text() const
{
    QString text = QStringLiteral("Dialog%1").arg(dialog);
    if (choice)
        text = QStringLiteral("choice %1 of ").arg(choice) + text;
    return fingerprint.isEmpty() ? text : text + u' ' + fingerprint;
}

std::optional<DialogRef> DialogRef::parse(const QString &text)
{
    DialogRef ref;
    QStringView rest(text);
    if (rest.startsWith(u"choice ")) {
        const qsizetype of = rest.indexOf(u" of ");
        if (of < 0)
            return std::nullopt;
        ref.choice =
            ActionReference::parseNumber(Ansi::fromUnicode(rest.mid(7, of - 7).toString()), 9999);
        if (!ref.choice)
            return std::nullopt;
        rest = rest.mid(of + 4);
    }
    if (!rest.startsWith(u"Dialog"))
        return std::nullopt;
    qsizetype end = 6;
    while (end < rest.size() && rest[end].isDigit())
        ++end;
    ref.dialog = ActionReference::parseNumber(Ansi::fromUnicode(rest.mid(6, end - 6).toString()),
                                              std::numeric_limits<int>::max());
    if (!ref.dialog || (end < rest.size() && rest[end] != u' '))
        return std::nullopt;
    ref.fingerprint = rest.mid(std::min(end + 1, rest.size())).toString();
    return ref;
}

DialogRef DialogRef::of(const DialogNode *node)
{
    DialogRef ref;
    const DialogNode *dialog = node;
    if (!NodeText::isDialog(node->text()) && node->parent()) {
        dialog = node->parent();
        ref.choice = ActionReference::parseNumber(NodeText::choiceNumber(node->text()), 9999);
    }
    ref.dialog = DialogNumbers::numberOf(dialog);
    ref.fingerprint = ReadingLines::fingerprint(dialog);
    return ref;
}

QString ReadingStart::takeLines(const QString &text, const DialogTree &tree)
{
    ReadingStart taken;
    taken.from = from;
    const DialogNumbers numbers(tree);
    for (const QString &typed : text.split(u'\n')) {
        const QString line = typed.trimmed();
        if (line.isEmpty())
            continue;
        const QString unfit = Ansi::firstUnrepresentable(line);
        if (!unfit.isEmpty())
            return Ansi::unrepresentableText(unfit);
        const QByteArray bytes = Ansi::fromUnicode(line);
        if (bytes.startsWith("Delete")) {
            const ActionReference reference = ActionReference::parse(bytes);
            const DialogNode *dialog = numbers.find(reference.dialog);
            if (reference.kind == ActionReference::None)
                return QStringLiteral("%1: a removed dialog reads Delete = N, a removed answer "
                                      "Delete = C from N")
                    .arg(line);
            if (!dialog)
                return QStringLiteral("%1: Dialog%2 does not exist")
                    .arg(line)
                    .arg(reference.dialog);
            DialogRef ref = DialogRef::of(dialog);
            if (reference.kind == ActionReference::DeleteChoice) {
                if (!numbers.hasChoice(dialog, reference.choice))
                    return QStringLiteral("%1: Dialog%2 has no choice %3")
                        .arg(line)
                        .arg(reference.dialog)
                        .arg(reference.choice);
                ref.choice = reference.choice;
            }
            taken.removed.push_back(ref);
            continue;
        }
        const std::optional<VariableOperation> set = VariableOperation::parse(bytes);
        if (!set || set->name.isEmpty())
            return QStringLiteral("%1: a variable reads Set Short name = value (Short, Float or "
                                  "String), a removed dialog Delete = N")
                .arg(line);
        if (set->type != "Short" && set->type != "Float" && set->type != "String")
            return QStringLiteral("%1: a variable type is Short, Float or String").arg(line);
        if (!set->fits())
            return VariableOperation::wrongTypeText();
        taken.variables.push_back(*set);
    }
    *this = taken;
    return QString();
}

QString ReadingStart::lines() const
{
    QStringList result;
    for (const VariableOperation &variable : variables)
        result << Ansi::toUnicode(variable.text());
    for (const DialogRef &ref : removed) {
        result << (ref.choice
                       ? QStringLiteral("Delete = %1 from %2").arg(ref.choice).arg(ref.dialog)
                       : QStringLiteral("Delete = %1").arg(ref.dialog));
    }
    return result.join(u'\n');
}

ReadingStart::Resolved ReadingStart::resolve(const DialogFinder &finder) const
{
    Resolved resolved;
    const auto missing = [](const DialogRef &ref) {
        return QStringLiteral("%1 is no longer in the dialog").arg(ref.text());
    };
    if (from) {
        resolved.from = finder.find(*from);
        if (!resolved.from) {
            resolved.problem = QStringLiteral("the start, ") + missing(*from);
            return resolved;
        }
    }
    for (const DialogRef &ref : removed) {
        const DialogNode *node = finder.find(ref);
        if (!node) {
            resolved.problem = QStringLiteral("the removed ") + missing(ref);
            return resolved;
        }
        resolved.removed.push_back(node);
    }
    return resolved;
}

GameState ReadingStart::state(const Resolved &resolved) const
{
    GameState state;
    for (const VariableOperation &variable : variables)
        state.set(variable.type, variable.name, variable.value, nullptr);
    for (const DialogNode *node : resolved.removed)
        state.remove(node);
    return state;
}
