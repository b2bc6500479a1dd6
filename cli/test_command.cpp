#include "cli_command.h"

#include "document/dialog_tree.h"
#include "document/node_text.h"
#include "document/read_through.h"
#include "document/reading_lines.h"
#include "persistence/dlg_file.h"
#include "platform/ansi.h"
#include "platform/app_error.h"
#include "readings/reading_replay.h"
#include "readings/saved_readings.h"

#include <QSet>

namespace {

constexpr int kAgree = 0;
constexpr int kDiffer = 1;
constexpr int kUnreadable = 2;

const char kUsage[] = "Usage: talmero-cli test FILE [--accept] [--coverage]\n";

void printHelp(QTextStream &out)
{
    out << kUsage
        << "\n"
           "Replays every saved reading of a .dlg file (kept beside it, Castle.dlg in\n"
           "Castle.readings.txt; the editor's \"Save reading...\" and talmero-cli play --save\n"
           "make them) on the file as stored, and prints, for each whose transcript now\n"
           "differs, its name and a unified diff of its transcript (\"-\" saved, \"+\" now).\n"
           "Readings compare what the player sees and the game gets: speakers, texts, answers\n"
           "offered, actions and what they did, never the dialogs' labels, so a renumbering\n"
           "alone makes no difference.\n"
           "--accept stores the new transcripts as the readings' own, as the editor's Accept\n"
           "does. --coverage adds the dialogs no reading reaches and the answers none takes.\n"
           "Exits with 0 when every reading agrees (or was accepted), 1 when one differs, and\n"
           "2 when the file or its readings cannot be read or written.\n";
}

// The dialogs and answers that no reading visits.
void printCoverage(const DialogTree &tree, const QSet<const DialogNode *> &visited,
                   QTextStream &out)
{
    QStringList missed;
    int dialogs = 0;
    int answers = 0;
    int dialogsVisited = 0;
    int answersVisited = 0;
    for (int i = 0; i < tree.count(); ++i) {
        const DialogNode *node = tree.nodeAt(i);
        const bool isDialog = NodeText::isDialog(node->text());
        const DialogNode *parent = node->parent();
        const bool isAnswer = !isDialog && parent && NodeText::isChoice(node->text()) &&
                              NodeText::isDialog(parent->text());
        if (!isDialog && !isAnswer)
            continue;
        const bool seen = visited.contains(node);
        (isDialog ? dialogs : answers) += 1;
        (isDialog ? dialogsVisited : answersVisited) += seen ? 1 : 0;
        if (seen)
            continue;
        if (isDialog)
            missed << QStringLiteral("Not reached: ") + Ansi::toUnicode(node->text()) + u' ' +
                          ReadingLines::fingerprint(node);
        else
            missed << QStringLiteral("Not taken: choice %1 of %2 %3")
                          .arg(Ansi::toUnicode(NodeText::choiceNumber(node->text())),
                               Ansi::toUnicode(parent->text()),
                               Ansi::toUnicode(NodeText::childValue(node, "Text = ")));
    }
    out << "Coverage: " << dialogsVisited << " of " << dialogs << " dialogs reached, "
        << answersVisited << " of " << answers << " answers taken\n";
    for (const QString &line : missed)
        out << line << '\n';
}

int run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    if (arguments.contains(QStringLiteral("--help"))) {
        printHelp(out);
        return kAgree;
    }
    QString fileName;
    bool accept = false;
    bool coverage = false;
    for (const QString &argument : arguments) {
        if (argument == u"--accept") {
            accept = true;
        } else if (argument == u"--coverage") {
            coverage = true;
        } else if (fileName.isEmpty() && !argument.startsWith(u"--")) {
            fileName = argument;
        } else {
            err << "talmero-cli test: unexpected argument '" << argument << "'\n" << kUsage;
            return kUnreadable;
        }
    }
    if (fileName.isEmpty()) {
        err << kUsage;
        return kUnreadable;
    }
    DialogTree tree;
    SavedReadings readings;
    try {
        DlgFile::read(tree, fileName);
        readings = SavedReadings::load(fileName);
    } catch (const AppError &e) {
        err << AppError::boxText(e.text()) << '\n';
        return kUnreadable;
    }
    if (readings.isEmpty())
        out << "No saved readings (" << readings.path() << ").\n";

    const ReadingReplay replay(tree);
    QSet<const DialogNode *> visited;
    int differing = 0;
    std::vector<SavedReading> accepted;
    for (const SavedReading &reading : readings.all()) {
        const ReadingReplay::Result result = replay.replay(reading, &visited);
        if (result.diff.agrees())
            continue;
        ++differing;
        out << "Reading \"" << reading.name << "\" " << (accept ? "accepted" : "differs") << ":\n"
            << result.diff.unified(reading.name);
        if (accept) {
            accepted.push_back(reading);
            accepted.back().transcript = result.lines.text;
        }
    }
    if (!readings.isEmpty())
        out << readings.all().size() << " reading(s): " << readings.all().size() - differing
            << " agree, " << differing << (accept ? " accepted" : " differ") << ".\n";
    if (coverage)
        printCoverage(tree, visited, out);
    if (accept && !accepted.empty()) {
        for (SavedReading &reading : accepted)
            readings.put(std::move(reading));
        try {
            readings.save();
        } catch (const AppError &e) {
            out.flush();
            err << AppError::boxText(e.text()) << '\n';
            return kUnreadable;
        }
    }
    return differing == 0 || accept ? kAgree : kDiffer;
}

const CliCommand::Registration
    registration({"test",
                  "talmero-cli test FILE [--accept] [--coverage]    replay the saved readings "
                  "of a dialog and show those that changed",
                  false, run});

} // namespace
