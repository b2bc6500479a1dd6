#include "dlg_listing.h"

#include "dlg_reader.h"
#include "document/node_text.h"
#include "document/tree_listing.h"
#include "platform/ansi.h"
#include "platform/app_error.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

// Image index by the grammar: 3 for the top-level "Root", 1 for a dialog whose first child
// begins with "Type", 2 for one whose first child begins with "Choice", else 0.
qint32 grammarImage(const DlgRecordList &records, size_t i)
{
    const DlgRecord &record = records[i];
    if (record.level == 0 && NodeText::isRoot(record.text))
        return 3;
    if (!NodeText::isDialog(record.text) || i + 1 >= records.size() ||
        records[i + 1].level != record.level + 1)
        return 0;
    const QByteArray &first = records[i + 1].text;
    if (first.startsWith("Type"))
        return 1;
    if (first.startsWith("Choice"))
        return 2;
    return 0;
}

} // namespace

namespace DlgListing {

QByteArray line(const DlgRecord &record)
{
    return QByteArray(qsizetype(2) * record.level, ' ') +
           Ansi::toUnicode(TreeListing::listedText(record.text)).toUtf8() + '\t' +
           QByteArray::number(record.image) + ',' + QByteArray::number(record.selected) + ',' +
           QByteArray::number(record.state) + ',' + QByteArray::number(record.overlay) + ',' +
           QByteArray::number(record.data);
}

QByteArray write(const DlgRecordList &records)
{
    QByteArray text;
    for (const DlgRecord &record : records)
        text += line(record) + '\n';
    return text;
}

DlgRecordList parse(const QByteArray &utf8, const QString &source)
{
    QStringList lines = QString::fromUtf8(utf8).split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();

    static const QRegularExpression suffix(
        QStringLiteral("\\t(-?\\d+),(-?\\d+),(-?\\d+),(-?\\d+),(\\d+)$"));
    DlgRecordList records;
    std::vector<bool> numbered;
    for (qsizetype n = 0; n < lines.size(); ++n) {
        QString line = lines[n];
        if (line.endsWith(u'\r'))
            line.chop(1);
        const auto fail = [&](const QString &why) {
            throw AppError(QStringLiteral("%1:%2: %3").arg(source).arg(n + 1).arg(why));
        };
        qsizetype blanks = 0;
        while (blanks < line.size() && line[blanks] == u' ')
            ++blanks;
        if (blanks % 2 != 0)
            fail(QStringLiteral("the indentation is not two blanks per level"));
        DlgRecord record;
        record.level = int(blanks / 2);
        const int deepest = records.empty() ? 0 : records.back().level + 1;
        if (record.level > deepest)
            fail(QStringLiteral("the line is indented more than one level below the line before"));
        if (record.level > DlgReader::kDeepestLevel)
            fail(DlgReader::tooDeepText());
        QString text = line.mid(blanks);
        const QRegularExpressionMatch match = suffix.match(text);
        bool ok = match.hasMatch();
        if (ok) {
            bool each = true;
            record.image = match.captured(1).toInt(&each);
            ok = ok && each;
            record.selected = match.captured(2).toInt(&each);
            ok = ok && each;
            record.state = match.captured(3).toInt(&each);
            ok = ok && each;
            record.overlay = match.captured(4).toInt(&each);
            ok = ok && each;
            record.data = match.captured(5).toUInt(&each);
            ok = ok && each;
            if (!ok)
                fail(QStringLiteral("a number after the tab is out of range"));
            text.truncate(match.capturedStart());
        }
        std::optional<QByteArray> decoded = TreeListing::parseListedText(Ansi::fromUnicode(text));
        if (!decoded)
            fail(QStringLiteral("the quoted text holds an unknown escape"));
        record.text = std::move(*decoded);
        records.push_back(std::move(record));
        numbered.push_back(ok);
    }
    for (size_t i = 0; i < records.size(); ++i) {
        if (!numbered[i])
            records[i].image = grammarImage(records, i);
    }
    return records;
}

} // namespace DlgListing
