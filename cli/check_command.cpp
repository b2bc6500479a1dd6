#include "cli_command.h"

#include "document/dialog_check.h"
#include "document/dialog_tree.h"
#include "persistence/dlg_file.h"
#include "platform/app_error.h"
#include "spelling/spell_dictionary.h"
#include "spelling/spelling_check.h"

namespace {

constexpr int kClean = 0;
constexpr int kFindings = 1;
constexpr int kUnreadable = 2;

int run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    if (arguments.contains(QStringLiteral("--help"))) {
        out << "Usage: talmero-cli check [--as-opened] [--spelling LANGUAGE] FILE\n\n"
               "Checks a .dlg file as stored, with every action and every label as written, as\n"
               "the game reads it, and prints one line per finding, \"DialogN: <node text>:\n"
               "<finding>\" (\"DialogN: <finding>\" for the dialog node itself, \"Root: ...\"\n"
               "outside dialogs): actions that name missing or deleted dialogs or choices, a\n"
               "goto to its own dialog, a delete action of the wrong form, repeated answer\n"
               "numbers, texts longer than 255 characters, nodes out of the grammar, dialogs\n"
               "without children, a label two dialogs carry, a tree deeper than a file holds,\n"
               "and a missing configuration file (a relative path is taken from the current\n"
               "directory); then what no reading reaches: a dialog no reading from Dialog1\n"
               "reaches whatever the answers, an answer that every way to its choice has\n"
               "removed already, a loop a reading can enter and never leave, and a choice a\n"
               "reading can reach with all its answers removed. With --as-opened the file is\n"
               "checked as Open leaves it with actions off: renumbered, variable operations,\n"
               "calls and delete actions removed.\n"
               "With --spelling (en_US, de_DE, ...: an installed Hunspell dictionary) every word\n"
               "of the dialog texts and answers that the dictionary or the personal word list\n"
               "does not hold is a finding too.\n"
               "Exits with 0 when nothing is found, 1 when findings were printed, 2 when the\n"
               "file cannot be read.\n";
        return kClean;
    }
    const bool asOpened = arguments.contains(QStringLiteral("--as-opened"));
    QStringList files = arguments;
    files.removeAll(QStringLiteral("--as-opened"));
    QString language;
    const qsizetype spellingAt = files.indexOf(QStringLiteral("--spelling"));
    if (spellingAt >= 0 && spellingAt + 1 < files.size()) {
        language = files.at(spellingAt + 1);
        files.remove(spellingAt, 2);
    }
    if (files.size() != 1 || files.contains(QStringLiteral("--spelling"))) {
        err << "Usage: talmero-cli check [--as-opened] [--spelling LANGUAGE] FILE\n";
        return kUnreadable;
    }
    std::shared_ptr<SpellDictionary> dictionary;
    if (!language.isEmpty()) {
        if (!SpellDictionary::available()) {
            err << SpellDictionary::unavailableText() << '\n';
            return kUnreadable;
        }
        QString problem;
        dictionary = SpellDictionary::open(language, &problem);
        if (!problem.isEmpty())
            err << problem << '\n';
        if (!dictionary && !problem.isEmpty())
            return kUnreadable;
        if (!dictionary) {
            const QStringList installed = SpellDictionary::installed();
            err << "No " << language << " dictionary is installed (installed: "
                << (installed.isEmpty() ? QStringLiteral("none")
                                        : installed.join(QStringLiteral(", ")))
                << ").\n";
            return kUnreadable;
        }
    }
    // The document of a freshly started editor, which the file then replaces.
    DialogTree tree;
    tree.addRootNode();
    try {
        if (asOpened)
            DlgFile::load(tree, files.first());
        else
            DlgFile::readAsStored(tree, files.first());
    } catch (const AppError &e) {
        err << AppError::boxText(e.text()) << '\n';
        return kUnreadable;
    }
    std::vector<CheckFinding> findings = DialogCheck::check(tree);
    if (dictionary) {
        const std::vector<CheckFinding> spelling = SpellingCheck::check(
            SpellingCheck::snapshot(tree),
            [&](const QString &word) { return dictionary->isCorrect(word); }, language);
        findings.insert(findings.end(), spelling.begin(), spelling.end());
    }
    for (const CheckFinding &finding : findings)
        out << finding.line() << '\n';
    return findings.empty() ? kClean : kFindings;
}

const CliCommand::Registration
    registration({"check",
                  "talmero-cli check [--as-opened] [--spelling LANGUAGE] FILE    report broken "
                  "references, malformed nodes and misspelled words",
                  false, run});

} // namespace
