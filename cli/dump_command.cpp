#include "cli_command.h"

#include "document/dialog_tree.h"
#include "document/tree_listing.h"
#include "persistence/dlg_file.h"
#include "persistence/dlg_reader.h"
#include "platform/ansi.h"
#include "platform/app_error.h"

namespace {

// The nodes as stored: no renumbering, no clean-up, every record's numbers after a tab.
void printStored(const QString &fileName, QTextStream &out)
{
    const DlgReader::Content content = DlgReader::readFile(fileName);
    for (const DlgRecord &record : content.records) {
        out << QString(2 * record.level, u' ') << Ansi::toUnicode(record.text) << '\t'
            << record.image << ',' << record.selected << ',' << record.state << ','
            << record.overlay << ',' << record.data << '\n';
    }
}

// The tree as the editor shows it after Open.
void printLoaded(const QString &fileName, QTextStream &out)
{
    DialogTree tree;
    DlgFile::load(tree, fileName);
    out << Ansi::toUnicode(TreeListing::outline(tree));
}

int run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    if (arguments.contains(QStringLiteral("--help"))) {
        out << "Usage: talmero-cli dump [--stored] FILE\n\n"
               "Prints the nodes of a .dlg file, one line per node in pre-order, two blanks per\n"
               "level. Without --stored the file is loaded as the editor opens it (dialogs\n"
               "renumbered, actions removed); with --stored every record is printed as it is\n"
               "stored, followed by a tab and image,selected,state,overlay,data.\n";
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
