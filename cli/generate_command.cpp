#include "cli_command.h"

#include "document/dialog_tree.h"
#include "generator/project_generator.h"
#include "persistence/dlg_file.h"
#include "platform/app_error.h"
#include "platform/program_folder.h"
#include "platform/prompter.h"

#include <optional>

namespace {

// The generator's boxes on the terminal: messages on standard output, errors on standard error,
// each on its own line; the project name box answers with the name given on the command line.
class ConsolePrompter : public Prompter
{
public:
    ConsolePrompter(QString name, QTextStream &out, QTextStream &err)
        : m_name(std::move(name)), m_out(out), m_err(err)
    {
    }

    void message(const QString &text) override { m_out << text << '\n'; }
    // The generator asks no question; one asked anyway is shown and answered No.
    bool confirm(const QString &text) override
    {
        m_out << text << '\n';
        return false;
    }
    void error(const QString &text) override { m_err << AppError::boxText(text) << '\n'; }
    std::optional<QString> chooseFile(const FileDialogRequest &) override { return std::nullopt; }
    void keepFileName(const QString &, const QString &) override {}
    std::optional<QString> inputText(const QString &, const QString &, const QString &,
                                     int maxLength) override
    {
        // The edit field takes no more than its limit.
        return m_name.left(maxLength);
    }
    std::optional<FontChoice> chooseFont(const FontChoice &, bool) override { return std::nullopt; }
    std::optional<quint32> chooseColor(quint32) override { return std::nullopt; }

private:
    QString m_name;
    QTextStream &m_out;
    QTextStream &m_err;
};

const char kUsage[] = "talmero-cli generate FILE.dlg --name NAME [--program-folder DIR]";

int generate(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    QString file;
    std::optional<QString> name;
    std::optional<ProgramFolder> programFolder;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (argument == u"--name" && i + 1 < arguments.size()) {
            name = arguments[++i];
        } else if (argument == u"--program-folder" && i + 1 < arguments.size()) {
            programFolder = ProgramFolder(arguments[++i]);
        } else if (!argument.startsWith(u"--") && file.isEmpty()) {
            file = argument;
        } else {
            err << "talmero-cli generate: unexpected argument '" << argument
                << "'\nUsage: " << kUsage << '\n';
            return 1;
        }
    }
    if (file.isEmpty() || !name) {
        err << "Usage: " << kUsage << '\n';
        return 1;
    }
    // The editor's name box holds no more; cutting the name would name another folder.
    if (name->size() > ProjectGenerator::MaxNameLength) {
        err << "talmero-cli generate: --name takes at most " << ProjectGenerator::MaxNameLength
            << " characters, not " << name->size() << '\n';
        return 2;
    }

    ConsolePrompter prompter(*name, out, err);
    DialogTree tree;
    try {
        DlgFile::load(tree, file);
    } catch (const AppError &error) {
        prompter.error(error.text());
        return 1;
    }
    ProjectGenerator generator(prompter, programFolder.value_or(ProgramFolder::ofExecutable()));
    // The document is written at the tree control's designed size.
    const bool done = generator.run(tree, file, [&tree](const QString &path) {
        DlgFile::save(tree, path, DlgFile::ViewSize{});
    });
    return done ? 0 : 1;
}

const CliCommand::Registration
    registration({"generate",
                  "talmero-cli generate FILE.dlg --name NAME [--program-folder DIR]    generate "
                  "the game project of a .dlg file",
                  false, generate});

} // namespace
