#include "cli_command.h"

#include "document/node_text.h"
#include "document/tree_listing.h"
#include "persistence/dlg_file.h"
#include "persistence/dlg_reader.h"
#include "persistence/dlg_writer.h"
#include "platform/ansi.h"
#include "platform/app_error.h"
#include "platform/bounded_file.h"

#include <QRegularExpression>

namespace {

const char kUsage[] = "Usage: talmero-cli pack LISTING OUT [--size WxH]\n";
const qint64 kMaxListingSize = 256 * 1024 * 1024;

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

// A listing in either form of dump: two blanks per level, then the text, optionally followed
// by a tab and image,selected,state,overlay,data. Throws AppError naming the faulty line.
DlgRecordList parseListing(const QString &fileName)
{
    // The user names the listing, so a pipe (/dev/stdin, a FIFO) is read too, but only up to
    // a limit far above any real conversation.
    const BoundedFile::Result file = BoundedFile::readNamed(fileName, kMaxListingSize);
    if (!file.ok())
        throw AppError::cannotOpen(fileName, file.reason);
    QStringList lines = QString::fromUtf8(file.bytes).split(u'\n');
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
        const auto fail = [&](const char *why) {
            throw AppError(
                QStringLiteral("%1:%2: %3").arg(fileName).arg(n + 1).arg(QLatin1String(why)));
        };
        qsizetype blanks = 0;
        while (blanks < line.size() && line[blanks] == u' ')
            ++blanks;
        if (blanks % 2 != 0)
            fail("the indentation is not two blanks per level");
        DlgRecord record;
        record.level = int(blanks / 2);
        const int deepest = records.empty() ? 0 : records.back().level + 1;
        if (record.level > deepest)
            fail("the line is indented more than one level below the line before");
        if (record.level > DlgReader::kDeepestLevel)
            throw AppError(
                QStringLiteral("%1:%2: %3").arg(fileName).arg(n + 1).arg(DlgReader::tooDeepText()));
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
                fail("a number after the tab is out of range");
            text.truncate(match.capturedStart());
        }
        std::optional<QByteArray> decoded = TreeListing::parseListedText(Ansi::fromUnicode(text));
        if (!decoded)
            fail("the quoted text holds an unknown escape");
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

bool parseSize(const QString &text, DlgFile::ViewSize &size)
{
    static const QRegularExpression pattern(QStringLiteral("^(-?\\d+)x(-?\\d+)$"));
    const QRegularExpressionMatch match = pattern.match(text);
    bool okWidth = false;
    bool okHeight = false;
    if (match.hasMatch()) {
        size.width = match.captured(1).toInt(&okWidth);
        size.height = match.captured(2).toInt(&okHeight);
    }
    return okWidth && okHeight;
}

int run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    if (arguments.contains(QStringLiteral("--help"))) {
        out << kUsage
            << "\nWrites the .dlg file OUT for a listing in either form of dump (UTF-8, two\n"
               "blanks per level). Lines without the tab suffix get the image index of their\n"
               "kind, selected 0, state -1, overlay -1, data 0. Dialogs are not renumbered.\n"
               "The tree control size written defaults to 473x553.\n\n"
               "A text between double quotes is read with its escapes as dump writes them:\n"
               "\\\\ \\\" \\t \\n \\r and \\xHH (two hex digits, any byte). Any other text is\n"
               "taken as it stands.\n";
        return 0;
    }
    QStringList positional;
    DlgFile::ViewSize size;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == u"--size") {
            if (i + 1 >= arguments.size() || !parseSize(arguments[i + 1], size)) {
                err << "talmero-cli pack: --size takes WIDTHxHEIGHT, e.g. 473x553\n";
                return 1;
            }
            if (size.width < 1 || size.height < 1) {
                err << "talmero-cli pack: --size takes a width and a height of at least 1, not "
                    << arguments[i + 1] << '\n';
                return 2;
            }
            ++i;
        } else {
            positional << arguments[i];
        }
    }
    if (positional.size() != 2) {
        err << kUsage;
        return 1;
    }
    try {
        DlgWriter::writeFile(DlgWriter::stream(parseListing(positional[0]), size), positional[1]);
    } catch (const AppError &e) {
        err << AppError::boxText(e.text()) << '\n';
        return 1;
    }
    return 0;
}

const CliCommand::Registration registration(
    {"pack", "talmero-cli pack LISTING OUT [--size WxH]    write a .dlg file from a listing", false,
     run});

} // namespace
