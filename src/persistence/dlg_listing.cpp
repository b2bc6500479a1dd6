#include "dlg_listing.h"

#include "dlg_block_builder.h"
#include "dlg_reader.h"
#include "document/node_text.h"
#include "document/tree_listing.h"
#include "platform/ansi.h"
#include "platform/app_error.h"

#include <QIODevice>
#include <QList>
#include <utility>

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

// The longest line that lists a record a file can hold: the deepest indentation, then a text of
// 255 bytes each written as \xHH between quotes, then the tab and five numbers. A longer line is
// refused before any of it is decoded, however long it is.
constexpr qsizetype kLongestLine = 2 * qsizetype(DlgReader::kDeepestLevel) + 2 + 4 * 255 + 64;

// The lines of a listing, one at a time, without their line ends.
class LineSource
{
public:
    enum class Next { Line, TooLong, End };
    virtual ~LineSource() = default;
    virtual Next next(QByteArray &line) = 0;
};

class BytesLines : public LineSource
{
public:
    explicit BytesLines(const QByteArray &bytes) : m_bytes(bytes) {}

    Next next(QByteArray &line) override
    {
        if (m_start >= m_bytes.size())
            return Next::End;
        qsizetype end = m_bytes.indexOf('\n', m_start);
        if (end < 0)
            end = m_bytes.size();
        const qsizetype start = std::exchange(m_start, end + 1);
        if (end - start > kLongestLine + 1)
            return Next::TooLong;
        line = m_bytes.mid(start, end - start);
        return Next::Line;
    }

private:
    const QByteArray &m_bytes;
    qsizetype m_start = 0;
};

class DeviceLines : public LineSource
{
public:
    DeviceLines(QIODevice &device, qint64 maxBytes)
        : m_device(device), m_maxBytes(maxBytes), m_left(maxBytes)
    {
    }

    Next next(QByteArray &line) override
    {
        // Room for the line, a carriage return and the line feed; no more is read of a line
        // that does not end there.
        line = m_device.readLine(kLongestLine + 2);
        if (line.isEmpty())
            return Next::End;
        m_left -= line.size();
        if (m_left < 0)
            throw AppError(QStringLiteral("The listing is larger than %1 bytes").arg(m_maxBytes));
        if (!line.endsWith('\n')) {
            if (!m_device.atEnd())
                return Next::TooLong;
        } else {
            line.chop(1);
        }
        return Next::Line;
    }

private:
    QIODevice &m_device;
    const qint64 m_maxBytes;
    qint64 m_left;
};

// Hands every line's record to take(record, numbered) in order, one line at a time.
template <typename Take> void readLines(LineSource &lines, const QString &source, Take take)
{
    int previousLevel = -1;
    QByteArray line;
    for (qsizetype n = 1;; ++n) {
        const auto fail = [&](const QString &why) {
            throw AppError(QStringLiteral("%1:%2: %3").arg(source).arg(n).arg(why));
        };
        const LineSource::Next next = lines.next(line);
        if (next == LineSource::Next::End)
            break;
        if (next == LineSource::Next::TooLong)
            fail(DlgBlockBuilder::tooLongText());
        if (line.endsWith('\r'))
            line.chop(1);
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
        if (decoded->size() > DlgBlockBuilder::kLongestText)
            fail(DlgBlockBuilder::tooLongText());
        record.text = std::move(*decoded);
        previousLevel = record.level;
        const QString refused = take(std::move(record), suffix >= 0);
        if (!refused.isEmpty())
            fail(refused);
    }
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
    DlgRecordList records;
    std::vector<bool> numbered;
    BytesLines lines(utf8);
    readLines(lines, source, [&](DlgRecord &&record, bool hasNumbers) {
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

QByteArray nodeBlock(QIODevice &device, const QString &source, qint64 maxBytes)
{
    DeviceLines lines(device, maxBytes);
    DlgBlockBuilder block;
    readLines(lines, source, [&](DlgRecord &&record, bool hasNumbers) {
        return block.append(record, hasNumbers);
    });
    return block.take();
}

} // namespace DlgListing
