#include "project_generator.h"

#include "document/dialog_tree.h"
#include "generator/config_node.h"
#include "generator/ini_file.h"
#include "platform/ansi.h"
#include "platform/app_error.h"
#include "platform/file_writing.h"
#include "platform/native_path.h"
#include "platform/prompter.h"

#include <QFile>
#include <QFileInfo>
#include <filesystem>
#include <system_error>

namespace {

const QString kNoConfig = QStringLiteral("Config file was not found!");
const QString kNotSaved = QStringLiteral("Please save the dialog before generating a project!");
const QString kEmptyName = QStringLiteral("The project name must not be empty!");
const QString kSuccess = QStringLiteral("Project folder created successfully!");

// Creates the project folder's last level; the Projects folder must exist already.
void createFolder(const QString &folder)
{
    QString path = folder;
    path.chop(1); // the trailing separator
#ifdef Q_OS_WIN
    const std::filesystem::path native(path.toStdWString());
#else
    const std::filesystem::path native(QFile::encodeName(path).toStdString());
#endif
    std::error_code error;
    if (std::filesystem::create_directory(native, error))
        return;
    if (!error)
        error = std::make_error_code(std::errc::file_exists);
    throw AppError(QStringLiteral("Cannot create the project folder \"%1\". %2")
                       .arg(nativePath(path), QString::fromLocal8Bit(error.message())));
}

// The file-system test of the generator: a folder of that name is no file.
bool fileExists(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

// Copies source into the folder under its own file name. A file already there stays: when two
// sources share a file name, the first one copied wins.
void copyInto(const QString &source, const QString &folder)
{
    const QString target = folder + QFileInfo(source).fileName();
    if (QFileInfo::exists(target))
        return;
    QFile file(source);
    if (!file.copy(target)) {
        throw AppError(QStringLiteral("Cannot copy \"%1\" to \"%2\". %3")
                           .arg(source, target, file.errorString()));
    }
}

} // namespace

ProjectGenerator::ProjectGenerator(Prompter &prompter, const ProgramFolder &programFolder)
    : m_prompter(prompter), m_programFolder(programFolder)
{
}

QString ProjectGenerator::proposal(const QString &documentFileName)
{
    return documentFileName.size() > 4 ? documentFileName.chopped(4) : QString();
}

QString ProjectGenerator::refusal(const QString &name)
{
    if (name.trimmed().isEmpty())
        return kEmptyName;
    // Windows drops trailing dots and blanks from a folder name, so ". ." or "..." would name
    // the Projects folder itself or its parent there.
    bool onlyDotsAndBlanks = true;
    for (const QChar c : name)
        onlyDotsAndBlanks = onlyDotsAndBlanks && (c == u'.' || c.isSpace());
    if (onlyDotsAndBlanks || name.contains(u'/') || name.contains(u'\\')) {
        return QStringLiteral("\"%1\" is not a valid project name: a project name is the name of "
                              "one folder, without \"/\" or \"\\\", and not \".\" or \"..\".")
            .arg(name);
    }
    return QString();
}

QByteArray ProjectGenerator::wdlAction(const QByteArray &documentFileName,
                                       const QByteArray &startOn)
{
    const QList<QByteArray> lines = {
        "//The DLL functions and variables",
        "",
        "var dll_handle;",
        "dllfunction StartDialog(FileName,MyPlayerName,MyEntityName);",
        "dll_handle=dll_open(\"Dialog.dll\");",
        "",
        "//Assign this action to you takling entity",
        "",
        "function startMyDialog() {",
        "   StartDialog(\"" + documentFileName + "\",\"PlayerName\",\"EntityName\");",
        "}",
        "",
        "ACTION myDialog {",
        "  my.enable_" + startOn + " = on;",
        "  my.trigger_range = 25;",
        "  my.event = startMyDialog;",
        "}",
    };
    QByteArray script;
    for (const QByteArray &line : lines)
        script += line + "\r\n";
    return script;
}

bool ProjectGenerator::copyRequired(const QString &source, const QString &projectFolder)
{
    if (!fileExists(source)) {
        m_prompter.message(source + QStringLiteral(" does not exist!"));
        return false;
    }
    copyInto(source, projectFolder);
    return true;
}

bool ProjectGenerator::run(const DialogTree &tree, const QString &currentFileName,
                           const DocumentWriter &writeDocument)
{
    const std::optional<QByteArray> configPath = ConfigNode::path(tree);
    if (!configPath) {
        m_prompter.message(kNoConfig);
        return false;
    }
    // A document without a file cannot be named in the project, so nothing is created for it.
    const QString documentFileName = QFileInfo(currentFileName).fileName();
    if (documentFileName.isEmpty()) {
        m_prompter.message(kNotSaved);
        return false;
    }
    const QString config = Ansi::toUnicode(*configPath);
    const IniFile ini(config);

    const QString proposed = proposal(documentFileName);
    const QString name =
        m_prompter
            .inputText(QStringLiteral("Project name"),
                       QStringLiteral("Please enter a project name"), proposed, MaxNameLength)
            .value_or(proposed);
    if (const QString why = refusal(name); !why.isEmpty()) {
        m_prompter.message(why);
        return false;
    }
    const QString folder = m_programFolder.file(QStringLiteral("Projects/") + name + u'/');
    if (QFileInfo(folder).isDir()) {
        m_prompter.message(QStringLiteral("A project called ") + name +
                           QStringLiteral(" already exists!"));
        return false;
    }

    try {
        createFolder(folder);
        const auto required = [&](const char *section, const char *key) {
            return copyRequired(Ansi::toUnicode(ini.readString(section, key, QByteArray())),
                                folder);
        };
        for (const char *key : {"bgimage", "choiceup", "choicedown", "choiceover", "nextup",
                                "nextdown", "nextover"}) {
            if (!required("Appearance", key))
                return false;
        }
        // A font that is not there is left out without a word.
        for (const char *key : {"Textboxfont", "Charactertextboxfont"}) {
            const QString font = Ansi::toUnicode(ini.readString("Font", key, QByteArray()));
            if (fileExists(font))
                copyInto(font, folder);
        }
        if (ini.readInteger("CharacterTextBox", "AvatarEnabled", 0) != 0) {
            for (const char *key : {"EntityImage", "PlayerImage"}) {
                if (!required("CharacterTextBox", key))
                    return false;
            }
        }
        for (const char *runtime : {"bin/Dialog.dll", "bin/PanelEvent.wdl"}) {
            // The program's own paths are shown as the platform writes them; paths from the
            // configuration are shown as written there.
            if (!copyRequired(nativePath(m_programFolder.file(QLatin1String(runtime))), folder))
                return false;
        }
        if (!copyRequired(config, folder))
            return false;
        writeDocument(folder + documentFileName);
        FileWriting::replace(folder + QStringLiteral("WDLAction.wdl"),
                             wdlAction(Ansi::fromUnicode(documentFileName),
                                       ini.readString("Main", "Starton", "click")));
    } catch (const AppError &error) {
        m_prompter.error(error.text());
        return false;
    }
    m_prompter.message(kSuccess);
    return true;
}
