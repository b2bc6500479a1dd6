#include "cli_command.h"

#include "persistence/dlg_file.h"
#include "persistence/dlg_listing.h"
#include "persistence/dlg_writer.h"
#include "platform/app_error.h"
#include "platform/output_target.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

const char kUsage[] = "Usage: talmero-cli pack LISTING OUT [--size WxH]\n";
const qint64 kMaxListingSize = 256 * 1024 * 1024;

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
    const QString &listingName = positional[0];
    const QString &outName = positional[1];
    try {
        OutputTarget::check(outName, {listingName});
    } catch (const AppError &e) {
        err << AppError::boxText(e.text()) << '\n';
        return 2;
    }
    try {
        // The user names the listing, so a pipe (/dev/stdin, a FIFO) is read too.
        QFile listing(listingName);
        if (QFileInfo(listingName).isDir())
            throw AppError::cannotOpen(listingName, QStringLiteral("Is a directory"));
        if (!listing.open(QIODevice::ReadOnly))
            throw AppError::cannotOpen(listingName, listing.errorString());
        QByteArray block;
        try {
            block = DlgListing::nodeBlock(listing, listingName, kMaxListingSize);
        } catch (const AppError &e) {
            err << AppError::boxText(e.text()) << '\n';
            return 2; // a line that does not read: malformed input
        }
        DlgWriter::writeFile(block, size, outName, {listingName});
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
