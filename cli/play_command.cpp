#include "cli_command.h"

#include "document/dialog_tree.h"
#include "document/read_through.h"
#include "document/reading_lines.h"
#include "persistence/dlg_file.h"
#include "platform/ansi.h"
#include "platform/app_error.h"
#include "readings/reading_replay.h"
#include "readings/saved_readings.h"

namespace {

constexpr int kReadOn = 0;
constexpr int kStopped = 1;
constexpr int kWrongInput = 2;

const char kUsage[] = "Usage: talmero-cli play FILE [--from N] [--answers 1,3,2] "
                      "[--set \"Short gold = 5\"]... [--state] [--save NAME]\n";

void printHelp(QTextStream &out)
{
    out << kUsage
        << "\n"
           "Reads a .dlg file as stored (every action kept, as the game reads it) the way the\n"
           "editor's read-through does, from Dialog1 or from --from N, and prints the\n"
           "transcript, one line each:\n"
           "  Dialog3 Entity: Welcome.          a text dialog, as its script line\n"
           "    Set Short gold = 5 -> gold = 5  each action after two blanks in its stored form,\n"
           "    Goto = 1 -> Dialog1             with what it did\n"
           "  Dialog2 choice                    a choice dialog,\n"
           "    1. A friend                     the answers it offers,\n"
           "  > 1                               and the one taken\n"
           "and as its last line \"End: \" and how it ended (\"End: the conversation has ended\",\n"
           "\"End: Dialog2 waits for an answer\") or \"Stopped: \" and why.\n"
           "--answers takes the answers by choice number, in order. --set sets a variable before\n"
           "the first dialog (Short, Float or String, checked as the Set action checks it); give\n"
           "it once per variable. --state prints the state before the last line: \"Set ...\"\n"
           "for each variable, \"Call = ...\" for each function called, in order, and\n"
           "\"Removed DialogN\" or \"Removed choice C of DialogN\" for what delete actions "
           "removed.\n"
           "--save NAME keeps the reading (start, answers, transcript) as a saved reading of FILE\n"
           "in FILE's readings file (Castle.dlg: Castle.readings.txt), replacing one of that "
           "name;\n"
           "talmero-cli test replays it.\n"
           "Exits with 0 when the reading ends or waits for an answer after the given ones, 1\n"
           "when it stops (a broken reference, an answer not offered, a loop, the step limit),\n"
           "and 2 when the file cannot be read or an argument is wrong.\n";
}

int refuse(QTextStream &err, const QString &why)
{
    err << "talmero-cli play: " << why << '\n';
    return kWrongInput;
}

int run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    if (arguments.contains(QStringLiteral("--help"))) {
        printHelp(out);
        return kReadOn;
    }
    QString fileName;
    QString saveName;
    bool showState = false;
    bool saving = false;
    int from = 0;
    QList<QByteArray> answers;
    QStringList sets;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (argument == u"--state") {
            showState = true;
        } else if (argument == u"--from" && hasValue) {
            bool ok = false;
            from = arguments[++i].toInt(&ok);
            if (!ok || from < 1)
                return refuse(err, QStringLiteral("--from takes a dialog number"));
        } else if (argument == u"--answers" && hasValue) {
            for (const QString &answer : arguments[++i].split(u',')) {
                if (answer.trimmed().isEmpty() ||
                    !Ansi::firstUnrepresentable(answer.trimmed()).isEmpty())
                    return refuse(err, QStringLiteral("--answers takes choice numbers separated "
                                                      "by commas, e.g. 1,3,2"));
                answers.append(Ansi::fromUnicode(answer.trimmed()));
            }
        } else if (argument == u"--set" && hasValue) {
            sets.append(arguments[++i]);
        } else if (argument == u"--save" && hasValue) {
            saving = true;
            saveName = arguments[++i];
        } else if (fileName.isEmpty() && !argument.startsWith(u"--")) {
            fileName = argument;
        } else {
            err << "talmero-cli play: unexpected argument '" << argument << "'\n" << kUsage;
            return kWrongInput;
        }
    }
    if (fileName.isEmpty()) {
        err << kUsage;
        return kWrongInput;
    }
    if (saving && !SavedReadings::nameProblem(saveName).isEmpty())
        return refuse(err, SavedReadings::nameProblem(saveName));
    DialogTree tree;
    try {
        DlgFile::read(tree, fileName);
    } catch (const AppError &e) {
        err << AppError::boxText(e.text()) << '\n';
        return kWrongInput;
    }
    const ReadingReplay replay(tree);
    ReadingStart start;
    for (const QString &set : sets) {
        const QString refusal = start.takeLines(start.lines() + u'\n' + set, tree);
        if (refusal == VariableOperation::wrongTypeText())
            return refuse(err, QStringLiteral("--set \"%1\": the value does not fit its type "
                                              "(Short: digits only, Float: digits and at most "
                                              "one point)")
                                   .arg(set));
        if (!refusal.isEmpty() || set.trimmed().startsWith(u"Delete"))
            return refuse(err, QStringLiteral("--set \"%1\": a variable reads \"Short gold = 5\" "
                                              "(Short, Float or String)")
                                   .arg(set));
    }
    if (from) {
        const DialogNode *dialog = replay.finder().numbers().find(from);
        if (!dialog)
            return refuse(err, QStringLiteral("--from %1: there is no Dialog%1").arg(from));
        start.from = DialogRef::of(dialog);
    }

    ReadThrough reader(tree, &replay.finder().numbers());
    replay.play(reader, start, answers);
    const ReadingLines::Lines lines = ReadingLines::lines(reader);
    for (qsizetype i = 0; i + 1 < lines.text.size(); ++i)
        out << lines.text[i] << '\n';
    if (showState) {
        for (const QString &line : reader.game().lines())
            out << line << '\n';
    }
    out << lines.text.last() << '\n';

    if (saving) {
        try {
            SavedReadings readings = SavedReadings::load(fileName);
            readings.put({saveName, start, answers, lines.text});
            readings.save();
        } catch (const AppError &e) {
            out.flush();
            err << AppError::boxText(e.text()) << '\n';
            return kWrongInput;
        }
    }
    return reader.state() == ReadThrough::State::Stopped ? kStopped : kReadOn;
}

const CliCommand::Registration registration(
    {"play",
     "talmero-cli play FILE [--from N] [--answers 1,3,2] [--set \"Short gold = 5\"]... [--state] "
     "[--save NAME]    read a dialog through and print the transcript",
     false, run});

} // namespace
