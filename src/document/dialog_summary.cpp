#include "dialog_summary.h"

#include "document/dialog_node.h"
#include "document/node_text.h"
#include "platform/ansi.h"

#include <QStringList>

namespace DialogSummary {

QString speaker(const DialogNode *dialog)
{
    return Ansi::toUnicode(NodeText::childValue(dialog, "Speaker = "));
}

QString text(const DialogNode *dialog)
{
    return Ansi::toUnicode(NodeText::childValue(dialog, "Text = "))
        .replace(QStringLiteral("\\n"), QStringLiteral("\n"));
}

QString firstLine(const DialogNode *dialog)
{
    const QString whole = text(dialog);
    return whole.left(whole.indexOf(u'\n'));
}

QString answer(const DialogNode *choice)
{
    return Ansi::toUnicode(NodeText::childValue(choice, "Text = "));
}

QString answerLine(const DialogNode *choice)
{
    return Ansi::toUnicode(NodeText::choiceNumber(choice->text())) + QStringLiteral(". ") +
           answer(choice);
}

QString glance(const DialogNode *dialog, int length)
{
    if (!NodeText::isChoiceDialog(dialog))
        return elide(text(dialog).replace(u'\n', u' ').simplified(), length);
    QStringList answers;
    for (int row = 0; row < dialog->childCount(); ++row) {
        if (NodeText::isChoice(dialog->child(row)->text()))
            answers.append(answer(dialog->child(row)).simplified());
    }
    return elide(QStringLiteral("choice: ") + answers.join(QStringLiteral(" / ")), length);
}

QString elide(const QString &text, int length)
{
    if (text.size() <= length)
        return text;
    return text.left(length - 1) + QChar(0x2026);
}

} // namespace DialogSummary
