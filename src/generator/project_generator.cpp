#include "project_generator.h"

#include "document/config_node.h"
#include "document/dialog_tree.h"
#include "generator/ini_file.h"
#include "platform/ansi.h"
#include "platform/app_error.h"
#include "platform/bounded_file.h"
#include "platform/file_writing.h"
#include "platform/native_path.h"
#include "platform/prompter.h"

#include <QDir>
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
// sources share a file name, the first one copied wins. True when the copy made a new file.
bool copyInto(const QString &source, const QString &folder)
{
    const QString target = folder + QFileInfo(source).fileName();
    if (QFileInfo::exists(target))
        return false;
    const QString why = FileWriting::copyToNew(source, target);
    if (!why.isEmpty())
        throw AppError(QStringLiteral("Cannot copy \"%1\" to \"%2\". %3").arg(source, target, why));
    return true;
}

// A Starton value goes into the script as part of a name: letters, digits and "_" only.
bool isScriptName(const QByteArray &value)
{
    if (value.isEmpty())
        return false;
    for (const char c : value) {
        if (!(c == '_' || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
              (c >= '0' && c <= '9')))
            return false;
    }
    return true;
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
    copyIfPresent(source, projectFolder);
    return true;
}

void ProjectGenerator::copyIfPresent(const QString &source, const QString &projectFolder)
{
    if (fileExists(source) && copyInto(source, projectFolder))
        m_created.append(projectFolder + QFileInfo(source).fileName());
}

QString ProjectGenerator::scriptRefusal(const QString &documentFileName, const QByteArray &startOn)
{
    if (documentFileName.contains(u'"')) {
        return QStringLiteral("The document name %1 holds a double quote, which would break "
                              "WDLAction.wdl. Save the document under a name without one.")
            .arg(documentFileName);
    }
    for (const QChar c : documentFileName) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F) {
            return QStringLiteral("The document name %1 holds a line break or another control "
                                  "character, which would break WDLAction.wdl. Save the document "
                                  "under a name without one.")
                .arg(documentFileName.simplified());
        }
    }
    // The script is Windows-1252 text, and the game looks the document up by that name.
    if (const QString lacking = Ansi::firstUnrepresentable(documentFileName); !lacking.isEmpty()) {
        return QStringLiteral("The document name %1 holds the character %2, which WDLAction.wdl "
                              "cannot hold: it is written in Windows-1252. Save the document "
                              "under a name without it.")
            .arg(documentFileName, Ansi::named(lacking));
    }
    if (!isScriptName(startOn)) {
        return QStringLiteral("The configuration's Starton value \"%1\" cannot be written into "
                              "WDLAction.wdl: it may hold only letters, digits and \"_\".")
            .arg(Ansi::toUnicode(startOn));
    }
    return QString();
}

QString ProjectGenerator::clashRefusal(const QStringList &sources, const QStringList &ownNames)
{
    for (const QString &source : sources) {
        const QString name = QFileInfo(source).fileName();
        if (!name.isEmpty() && ownNames.contains(name, Qt::CaseInsensitive)) {
            return QStringLiteral("The configuration names %1, whose file name is that of a file "
                                  "the project generator writes itself. Rename that file.")
                .arg(source);
        }
    }
    return QString();
}

QString ProjectGenerator::documentClash(const QString &documentFileName,
                                        const QStringList &ownNames)
{
    // Windows drops trailing dots and blanks from a file name, and ignores case.
    QString name = documentFileName;
    while (name.endsWith(u'.') || name.endsWith(u' '))
        name.chop(1);
    if (!ownNames.contains(name, Qt::CaseInsensitive))
        return QString();
    return QStringLiteral("The document name %1 is that of a file the project generator writes "
                          "itself (%2). Save the document under another name.")
        .arg(documentFileName, ownNames.join(QStringLiteral(", ")));
}

void ProjectGenerator::removeCreated(const QString &projectFolder)
{
    // Only what this run made goes: its files, then the folder, which is then empty.
    for (const QString &file : std::as_const(m_created))
        QFile::remove(file);
    m_created.clear();
    QDir().rmdir(projectFolder);
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
    // Without its configuration no project can be made: say so before any folder is, naming
    // the file looked for (a relative path counts from the current folder).
    const BoundedFile::Result configFile = BoundedFile::readRegular(config, IniFile::MaxFileSize);
    if (configFile.status == BoundedFile::Status::Missing) {
        m_prompter.message(nativePath(QFileInfo(config).absoluteFilePath()) +
                           QStringLiteral(" does not exist!"));
        return false;
    }
    if (!configFile.ok()) {
        m_prompter.message(AppError::cannotOpen(config, configFile.reason).text());
        return false;
    }
    const IniFile ini = IniFile::fromBytes(configFile.bytes);
    const QByteArray startOn = ini.readString("Main", "Starton", "click");
    const auto read = [&](const char *section, const char *key) {
        return Ansi::toUnicode(ini.readString(section, key, QByteArray()));
    };
    const bool avatars = ini.readInteger("CharacterTextBox", "AvatarEnabled", 0) != 0;
    QStringList images;
    for (const char *key :
         {"bgimage", "choiceup", "choicedown", "choiceover", "nextup", "nextdown", "nextover"})
        images.append(read("Appearance", key));
    QStringList fonts = {read("Font", "Textboxfont"), read("Font", "Charactertextboxfont")};
    QStringList avatarImages;
    if (avatars)
        avatarImages = {read("CharacterTextBox", "EntityImage"),
                        read("CharacterTextBox", "PlayerImage")};
    const QStringList ownNames = {QStringLiteral("Dialog.dll"), QStringLiteral("PanelEvent.wdl"),
                                  QStringLiteral("WDLAction.wdl"), QFileInfo(config).fileName(),
                                  documentFileName};
    for (const QString &why : {scriptRefusal(documentFileName, startOn),
                               documentClash(documentFileName, ownNames.mid(0, 4)),
                               clashRefusal(images + fonts + avatarImages, ownNames)}) {
        if (!why.isEmpty()) {
            m_prompter.message(why);
            return false;
        }
    }

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
    const QString folder = m_programFolder.userFile(QStringLiteral("Projects/")) + name + u'/';
    if (QFileInfo(folder).isDir()) {
        m_prompter.message(QStringLiteral("A project called ") + name +
                           QStringLiteral(" already exists!"));
        return false;
    }

    try {
        createFolder(folder);
    } catch (const AppError &error) {
        m_prompter.error(error.text());
        return false;
    }
    m_created.clear();
    // A run that stops takes back what it made, so that the same name can be used again.
    const auto fill = [&] {
        for (const QString &image : std::as_const(images)) {
            if (!copyRequired(image, folder))
                return false;
        }
        // A font that is not there is left out without a word.
        for (const QString &font : std::as_const(fonts))
            copyIfPresent(font, folder);
        for (const QString &image : std::as_const(avatarImages)) {
            if (!copyRequired(image, folder))
                return false;
        }
        for (const char *runtime : {"bin/Dialog.dll", "bin/PanelEvent.wdl"}) {
            // The program's own paths are shown as the platform writes them; paths from the
            // configuration are shown as written there.
            if (!copyRequired(nativePath(m_programFolder.runtimeFile(QLatin1String(runtime))),
                              folder))
                return false;
        }
        if (!copyRequired(config, folder))
            return false;
        for (const QString &made :
             {folder + documentFileName, folder + QStringLiteral("WDLAction.wdl")}) {
            if (!QFileInfo::exists(made))
                m_created.append(made);
        }
        writeDocument(folder + documentFileName);
        FileWriting::replace(folder + QStringLiteral("WDLAction.wdl"),
                             wdlAction(Ansi::fromUnicode(documentFileName), startOn));
        return true;
    };
    try {
        if (!fill()) {
            removeCreated(folder);
            return false;
        }
    } catch (const AppError &error) {
        removeCreated(folder);
        m_prompter.error(error.text());
        return false;
    }
    m_created.clear();
    m_prompter.message(kSuccess);
    return true;
}
