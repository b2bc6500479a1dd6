#include "reading_lines.h"

#include "dialog_node.h"
#include "node_text.h"
#include "platform/ansi.h"
#include "read_through.h"

namespace {

QString shown(const QByteArray &bytes)
{
    QString text = Ansi::toUnicode(bytes);
    for (qsizetype i = text.size() - 1; i >= 0; --i) {
        if (text[i].unicode() < 0x20)
            text.replace(i, 1, QStringLiteral("\\x%1").arg(text[i].unicode(), 2, 16, QChar(u'0')));
    }
    return text;
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// The digits of line from at on become one "#"; returns where the run ended in the result.
qsizetype blankNumberAt(QString &line, qsizetype at)
{
    qsizetype end = at;
    while (end < line.size() && isDigit(line[end]))
        ++end;
    if (end > at)
        line.replace(at, end - at, QStringLiteral("#"));
    return at + 1;
}

// The label "Dialog" + digits at or after from, its digits blanked.
void blankLabelFrom(QString &line, qsizetype from)
{
    for (qsizetype at = line.indexOf(u"Dialog", from); at >= 0;
         at = line.indexOf(u"Dialog", at + 6)) {
        if (at + 6 < line.size() && isDigit(line[at + 6])) {
            blankNumberAt(line, at + 6);
            return;
        }
    }
}

} // namespace

namespace ReadingLines {

QString scriptLine(const QByteArray &label, const QByteArray &speaker, const QByteArray &text)
{
    QString line;
    line.reserve(label.size() + speaker.size() + text.size() + 3);
    line.append(shown(label)).append(u' ').append(shown(speaker)).append(u": ").append(shown(text));
    return line;
}

QString fingerprint(const DialogNode *dialog)
{
    if (!NodeText::isChoiceDialog(dialog)) {
        if (dialog->childCount() == 0)
            return QString();
        return shown(NodeText::childValue(dialog, "Speaker = ") + ": " +
                     NodeText::childValue(dialog, "Text = "));
    }
    QByteArray text = "choice:";
    const char *separator = " ";
    for (int row = 0; row < dialog->childCount(); ++row) {
        const DialogNode *choice = dialog->child(row);
        if (!NodeText::isChoice(choice->text()))
            continue;
        text += separator + NodeText::choiceNumber(choice->text()) + ". " +
                NodeText::childValue(choice, "Text = ");
        separator = " / ";
    }
    return shown(text);
}

Lines lines(const ReadThrough &reader)
{
    Lines result;
    result.text.reserve(qsizetype(reader.transcript().size()) + 1);
    result.dialogs.reserve(reader.transcript().size() + 1);
    const auto add = [&result](const QString &line, const DialogNode *dialog) {
        result.text.append(line);
        result.dialogs.push_back(dialog);
    };
    using Entry = ReadThrough::Entry;
    for (const Entry &entry : reader.transcript()) {
        switch (entry.kind) {
        case Entry::Said:
            add(scriptLine(entry.label, entry.subject, entry.text), entry.dialog);
            break;
        case Entry::Choice:
            add(shown(entry.label) + QStringLiteral(" choice"), entry.dialog);
            break;
        case Entry::Offer:
            add(QStringLiteral("  ") + shown(entry.subject) + QStringLiteral(". ") +
                    shown(entry.text),
                entry.dialog);
            break;
        case Entry::Answer:
            add(QStringLiteral("> ") + shown(entry.subject), entry.dialog);
            break;
        case Entry::Action:
            add(QStringLiteral("  ") + shown(entry.subject) + QStringLiteral(" -> ") +
                    shown(entry.text),
                entry.dialog);
            break;
        case Entry::Note:
            break;
        case Entry::Stop:
            add(QStringLiteral("Stopped: ") + entry.note, entry.dialog);
            break;
        case Entry::End:
            add(QStringLiteral("End: the conversation has ended"), entry.dialog);
            break;
        }
    }
    if (reader.state() == ReadThrough::State::Choosing)
        add(QStringLiteral("End: %1 waits for an answer")
                .arg(Ansi::toUnicode(reader.currentDialog()->text())),
            reader.currentDialog());
    return result;
}

QString comparable(const QString &line)
{
    QString result = line;
    if (result.startsWith(u"Dialog")) {
        if (result.size() > 6 && isDigit(result[6]))
            blankNumberAt(result, 6);
    } else if (result.startsWith(u"  Goto = ") || result.startsWith(u"  Delete = ")) {
        const qsizetype arrow = result.indexOf(u" -> ");
        if (arrow < 0)
            return result;
        // The dialog number is the last number of the stored form.
        qsizetype at = arrow;
        while (at > 0 && !isDigit(result[at - 1]))
            --at;
        qsizetype start = at;
        while (start > 0 && isDigit(result[start - 1]))
            --start;
        if (start < at)
            blankNumberAt(result, start);
        blankLabelFrom(result, result.indexOf(u" -> "));
    } else if (result.startsWith(u"Stopped: ") || result.startsWith(u"End: ")) {
        for (qsizetype at = 0; at < result.size(); ++at) {
            if (isDigit(result[at]))
                at = blankNumberAt(result, at) - 1;
        }
    }
    return result;
}

} // namespace ReadingLines
