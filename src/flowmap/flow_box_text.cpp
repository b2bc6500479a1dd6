#include "flow_box_text.h"

#include "document/dialog_node.h"
#include "document/dialog_summary.h"
#include "document/node_text.h"
#include "platform/ansi.h"

namespace FlowBoxText {

QString heading(const FlowGraph::Box &box)
{
    if (box.foldedAnswer)
        return QStringLiteral("Dialog%1-Dialog%2, %3 dialog%4")
            .arg(box.number)
            .arg(box.lastNumber)
            .arg(box.foldedDialogs)
            .arg(box.foldedDialogs == 1 ? QString() : QStringLiteral("s"));
    return Ansi::toUnicode(box.dialog->text()) +
           (box.choice ? QStringLiteral("  choice")
                       : QStringLiteral("  ") + DialogSummary::speaker(box.dialog));
}

QStringList lines(const FlowGraph::Box &box)
{
    if (box.foldedAnswer)
        return {DialogSummary::answerLine(box.foldedAnswer)};
    if (!box.choice)
        return {DialogSummary::firstLine(box.dialog)};
    QStringList answers;
    for (int row = 0; row < box.dialog->childCount(); ++row) {
        const DialogNode *choice = box.dialog->child(row);
        if (NodeText::isChoice(choice->text()))
            answers.append(DialogSummary::answerLine(choice));
    }
    return answers;
}

QString tip(const FlowGraph::Box &box)
{
    if (box.foldedAnswer)
        return heading(box) + QStringLiteral("\nunder ") +
               DialogSummary::answerLine(box.foldedAnswer);
    QString text =
        box.choice ? DialogSummary::glance(box.dialog, 4000) : DialogSummary::text(box.dialog);
    for (int row = 0; row < box.dialog->childCount(); ++row) {
        const QByteArray &action = box.dialog->child(row)->text();
        if (action.startsWith("Set") || action.startsWith("Call") || action.startsWith("Delete"))
            text += u'\n' + Ansi::toUnicode(action);
    }
    return text;
}

QString number(const FlowGraph::Box &box)
{
    if (box.foldedAnswer)
        return QStringLiteral("%1-%2").arg(box.number).arg(box.lastNumber);
    return QString::number(box.number);
}

} // namespace FlowBoxText
