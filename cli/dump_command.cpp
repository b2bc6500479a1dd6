#include "cli_command.h"

#include "document/dialog_tree.h"
#include "document/tree_listing.h"
#include "persistence/dlg_file.h"
#include "persistence/dlg_listing.h"
#include "persistence/dlg_reader.h"
#include "platform/ansi.h"
#include "platform/app_error.h"

#include <algorithm>

namespace {

// Line by line into the stream, which passes them on in blocks: the listing is never held
// whole, and a line's indentation is a view of one string of blanks.
class LinePrinter
{
public:
    explicit LinePrinter(QTextStream &out) : m_out(out) {}

    void begin(int level, const QByteArray &text)
    {
        const qsizetype width = qsizetype(2) * level;
        if (m_blanks.size() < width)
            m_blanks.fill(u' ', std::max(width, 2 * m_blanks.size()));
        m_out << QStringView(m_blanks).left(width)
              << Ansi::toUnicode(TreeListing::listedText(text));
    }

private:
    QTextStream &m_out;
    QString m_blanks;
};

// The nodes as stored: no renumbering, no clean-up, every record's numbers after a tab.
void printStored(const QString &fileName, QTextStream &out)
{
    const DlgReader::Content content = DlgReader::readFile(fileName);
    for (const DlgRecord &record : content.records)
        out << QString::fromUtf8(DlgListing::line(record)) << '\n';
}

// The tree as the editor shows it after Open.
void printLoaded(const QString &fileName, QTextStream &out)
{
    DialogTree tree;
    DlgFile::load(tree, fileName);
    LinePrinter printer(out);
    TreeListing::forEach(tree, [&](int level, const DialogNode *node) {
        printer.begin(level, node->text());
        out << '\n';
    });
}

int run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    if (arguments.contains(QStringLiteral("--help"))) {
        out << "Usage: talmero-cli dump [--stored] FILE\n\n"
               "Prints the nodes of a .dlg file, one line per node in pre-order, two blanks per\n"
               "level. Without --stored the file is loaded as the editor opens it (dialogs\n"
               "renumbered, actions removed); with --stored every record is printed as it is\n"
               "stored, followed by a tab and image,selected,state,overlay,data.\n\n"
               "A text that begins with a blank or a double quote, or holds a line break, a\n"
               "tab or another control byte, is shown quoted: \"...\" with \\\\ for a backslash,\n"
               "\\\" for a double quote, \\t \\n \\r, and \\xHH for other control bytes. Every\n"
               "other text is shown as it is. pack reads both back.\n";
        return 0;
    }
    const bool stored = !arguments.isEmpty() && arguments.first() == u"--stored";
    const QStringList files = stored ? arguments.mid(1) : arguments;
    if (files.size() != 1) {
        err << "Usage: talmero-cli dump [--stored] FILE\n";
        return 1;
    }
    try {
        if (stored)
            printStored(files.first(), out);
        else
            printLoaded(files.first(), out);
    } catch (const AppError &e) {
        out.flush();
        err << AppError::boxText(e.text()) << '\n';
        return 1;
    }
    return 0;
}

const CliCommand::Registration registration(
    {"dump", "talmero-cli dump [--stored] FILE    print the nodes of a .dlg file", false, run});

} // namespace
