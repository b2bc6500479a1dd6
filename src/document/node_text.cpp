#include "node_text.h"

#include "dialog_node.h"

namespace NodeText {

QByteArray root()
{
    return QByteArrayLiteral("Root");
}

QByteArray config(const QByteArray &path)
{
    return "Config = " + path;
}

QByteArray dialog(int number)
{
    return "Dialog" + QByteArray::number(number);
}

QByteArray typeText()
{
    return QByteArrayLiteral("Type = Text");
}

QByteArray speaker(const QByteArray &who)
{
    return "Speaker = " + who;
}

QByteArray text(const QByteArray &text)
{
    return "Text = " + text;
}

QByteArray choice(const QByteArray &number)
{
    return "Choice = " + number;
}

QByteArray setVariable(const QByteArray &type, const QByteArray &name, const QByteArray &value)
{
    return "Set " + type + ' ' + name + " = " + value;
}

QByteArray call(const QByteArray &call)
{
    return "Call = " + call;
}

QByteArray gotoDialog(int number)
{
    return "Goto = " + QByteArray::number(number);
}

QByteArray deleteChoice(int choice, int dialog)
{
    return "Delete = " + QByteArray::number(choice) + " from " + QByteArray::number(dialog);
}

QByteArray deleteDialog(int dialog)
{
    return "Delete = " + QByteArray::number(dialog);
}

QByteArray textDialogLine(const QByteArray &label, const QByteArray &speaker,
                          const QByteArray &text)
{
    QByteArray line;
    line.reserve(label.size() + speaker.size() + text.size() + 3);
    if (!label.isEmpty())
        line.append(label).append(' ');
    line.append(speaker).append(':');
    if (!text.isEmpty())
        line.append(' ').append(text);
    return line;
}

QByteArray joinLines(const QByteArray &text)
{
    QByteArray result = text;
    return result.replace("\r\n", "\\n");
}

bool isRoot(const QByteArray &text)
{
    return text == "Root";
}

bool isDialog(const QByteArray &text)
{
    return text.startsWith("Dialog");
}

bool isDialogNumber(const QByteArray &text, int number)
{
    return text == dialog(number);
}

bool isDialogForNumbering(const QByteArray &text)
{
    return text.size() >= 2 && text[0] == 'D' && text[1] == 'i';
}

bool containsChoice(const QByteArray &text)
{
    return text.contains("Choice = ");
}

bool isChoice(const QByteArray &text)
{
    return text.startsWith("Choice");
}

bool isAction(const QByteArray &text)
{
    return text.startsWith("Call") || text.startsWith("Set") || text.startsWith("Goto") ||
           text.startsWith("Delete");
}

bool isRemovedAtLoad(const QByteArray &text)
{
    return text.startsWith("Delete") || text.startsWith("Set") || text.startsWith("Call");
}

bool isChoiceDialog(const DialogNode *dialog)
{
    const DialogNode *first = dialog ? dialog->firstChild() : nullptr;
    return first && isChoice(first->text());
}

QByteArray childValue(const DialogNode *node, QByteArrayView keyword)
{
    for (int row = 0; row < node->childCount(); ++row) {
        if (node->child(row)->text().startsWith(keyword))
            return node->child(row)->text().mid(keyword.size());
    }
    return QByteArray();
}

QByteArray choiceNumber(const QByteArray &text)
{
    return text.startsWith("Choice = ") ? text.mid(9) : text;
}

} // namespace NodeText
