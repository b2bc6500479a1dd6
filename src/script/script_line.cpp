#include "script_line.h"

#include "document/node_text.h"
#include "document/tree_listing.h"

namespace ScriptLine {

QByteArray textDialog(int label, const QByteArray &speaker, const QByteArray &text)
{
    return NodeText::textDialogLine(label > 0 ? NodeText::dialog(label) : QByteArray(), speaker,
                                    text);
}

QByteArray choiceDialog(int label)
{
    return label > 0 ? "Dialog" + QByteArray::number(label) + " choice"
                     : QByteArrayLiteral("choice");
}

QByteArray answer(int choice, const QByteArray &text)
{
    QByteArray line = QByteArray::number(choice) + '.';
    if (!text.isEmpty())
        line += ' ' + text;
    return line;
}

QByteArray node(const QByteArray &text, const DlgRecord *values)
{
    QByteArray line = "|";
    if (values) {
        line += QByteArray::number(values->image) + ',' + QByteArray::number(values->selected) +
                ',' + QByteArray::number(values->state) + ',' +
                QByteArray::number(values->overlay) + ',' + QByteArray::number(values->data) + '|';
    }
    line += ' ';
    // Editors drop blanks at the end of a line; quotes keep them.
    if (text.isEmpty() || text.endsWith(' '))
        line += TreeListing::quotedText(text);
    else
        line += TreeListing::listedText(text);
    return line;
}

QByteArray wholeTree()
{
    return QByteArrayLiteral("@tree");
}

QByteArray size(DlgFile::ViewSize size)
{
    return "@size " + QByteArray::number(size.width) + 'x' + QByteArray::number(size.height);
}

} // namespace ScriptLine
