#include "dlg_listing.h"

#include "dlg_block_builder.h"
#include "dlg_reader.h"
#include "document/node_text.h"
#include "document/tree_listing.h"
#include "platform/ansi.h"
#include "platform/app_error.h"

#include <QList>

namespace {

// A number of the tab suffix: digits, with a minus sign in front where allowed.
bool isNumber(const QByteArray &field, bool signedAllowed)
{
    const qsizetype start = signedAllowed && field.startsWith('-') ? 1 : 0;
    if (field.size() <= start)
        return false;
    for (qsizetype i = start; i < field.size(); ++i) {
        if (field[i] < '0' || field[i] > '9')
            return false;
    }
    return true;
}

// Reads the tab suffix "\t image,selected,state,overlay,data" at the end of line into record.
// Returns where the suffix begins, or -1 when line has none. Throws through fail when a number
// does not fit.
template <typename Fail> qsizetype readSuffix(const QByteArray &line, DlgRecord &record, Fail fail)
{
    const qsizetype tab = line.lastIndexOf('\t');
    if (tab < 0)
        return -1;
    const QList<QByteArray> fields = line.mid(tab + 1).split(',');
    if (fields.size() != 5)
        return -1;
    for (qsizetype i = 0; i < 5; ++i) {
        if (!isNumber(fields[i], i < 4))
            return -1;
    }
    bool ok = true;
    bool each = true;
    record.image = fields[0].toInt(&each);
    ok = ok && each;
    record.selected = fields[1].toInt(&each);
    ok = ok && each;
    record.state = fields[2].toInt(&each);
    ok = ok && each;
    record.overlay = fields[3].toInt(&each);
    ok = ok && each;
    record.data = fields[4].toUInt(&each);
    ok = ok && each;
    if (!ok)
        fail(QStringLiteral("a number after the tab is out of range"));
    return tab;
}

// Hands every line's record to take(record, numbered) in order, one line at a time.
template <typename Take> void readLines(const QByteArray &utf8, const QString &source, Take take)
{
    qsizetype start = 0;
    int previousLevel = -1;
    for (qsizetype n = 1; start < utf8.size(); ++n) {
        qsizetype end = utf8.indexOf('\n', start);
        if (end < 0)
            end = utf8.size();
        QByteArray line = utf8.mid(start, end - start);
        start = end + 1;
        if (line.endsWith('\r'))
            line.chop(1);
        const auto fail = [&](const QString &why) {
            throw AppError(QStringLiteral("%1:%2: %3").arg(source).arg(n).arg(why));
        };
        qsizetype blanks = 0;
        while (blanks < line.size() && line[blanks] == ' ')
            ++blanks;
        if (blanks % 2 != 0)
            fail(QStringLiteral("the indentation is not two blanks per level"));
        DlgRecord record;
        record.level = int(blanks / 2);
        if (record.level > previousLevel + 1)
            fail(QStringLiteral("the line is indented more than one level below the line before"));
        if (record.level > DlgReader::kDeepestLevel)
            fail(DlgReader::tooDeepText());
        const qsizetype suffix = readSuffix(line, record, fail);
        // A tab inside a text is always written as \t between quotes; the tab of the numbers
        // follows the indentation at once only for an empty text.
        if (blanks < line.size() && line[blanks] == '\t' && blanks != suffix)
            fail(QStringLiteral("the indentation holds a tab; indent with two blanks per level"));
        const QString text = QString::fromUtf8(line.constData() + blanks,
                                               (suffix < 0 ? line.size() : suffix) - blanks);
        const QString lacking = Ansi::firstUnrepresentable(text);
        if (!lacking.isEmpty())
            fail(Ansi::unrepresentableText(lacking));
        std::optional<QByteArray> decoded = TreeListing::parseListedText(Ansi::fromUnicode(text));
        if (!decoded)
            fail(QStringLiteral("the quoted text holds an unknown escape"));
        record.text = std::move(*decoded);
        previousLevel = record.level;
        const QString refused = take(std::move(record), suffix >= 0);
        if (!refused.isEmpty())
            fail(refused);
    }
}

} // namespace

namespace DlgListing {

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
    DlgRecordList records;
    std::vector<bool> numbered;
    readLines(utf8, source, [&](DlgRecord &&record, bool hasNumbers) {
        records.push_back(std::move(record));
        numbered.push_back(hasNumbers);
        return QString();
    });
    for (size_t i = 0; i < records.size(); ++i) {
        if (!numbered[i])
            records[i].image = grammarImage(records, i);
    }
    return records;
}

QByteArray nodeBlock(const QByteArray &utf8, const QString &source)
{
    DlgBlockBuilder block;
    readLines(utf8, source, [&](DlgRecord &&record, bool hasNumbers) {
        return block.append(record, hasNumbers);
    });
    return block.take();
}

} // namespace DlgListing
