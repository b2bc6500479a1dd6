#pragma once

#include "platform/program_folder.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

class DialogTree;
class IniFile;
class Prompter;

// Turns the open document into a project folder for the game engine: program folder +
// "Projects/" + the project name, holding the images and fonts the configuration names, the
// engine runtime files from the program's bin folder, the configuration, the document and the
// generated script "WDLAction.wdl". It changes neither the document nor its file name.
class ProjectGenerator
{
public:
    // Writes the document, unsaved changes included, to the given path; throws AppError.
    using DocumentWriter = std::function<void(const QString &path)>;
    // The name box takes at most this many characters.
    static constexpr int MaxNameLength = 255;

    ProjectGenerator(Prompter &prompter, const ProgramFolder &programFolder);

    // Runs the whole generation for the document whose file is currentFileName (empty for a
    // document never saved). Every outcome is reported through the prompter; true when the
    // project folder holds every file.
    bool run(const DialogTree &tree, const QString &currentFileName,
             const DocumentWriter &writeDocument);

    // The name proposed for a project: the document's file name without its last four
    // characters.
    static QString proposal(const QString &documentFileName);
    // Why name cannot be a project name (it must name one folder inside Projects); empty when
    // it can.
    static QString refusal(const QString &name);
    // The script "WDLAction.wdl" for the document file name and the engine event that starts
    // the conversation: 17 lines, each ending in CR LF.
    static QByteArray wdlAction(const QByteArray &documentFileName, const QByteArray &startOn);

    // Why the document name (a double quote, a line break, a character outside Windows-1252)
    // or the Starton value would break "WDLAction.wdl"; empty when neither does.
    static QString scriptRefusal(const QString &documentFileName, const QByteArray &startOn);
    // Why a document of that file name would take the place of one of ownNames in the project
    // (compared as Windows compares file names); empty when it would not.
    static QString documentClash(const QString &documentFileName, const QStringList &ownNames);
    // Why one of the sources would take the place of a file the generator writes itself (one
    // of ownNames, compared as Windows compares file names); empty when none would.
    static QString clashRefusal(const QStringList &sources, const QStringList &ownNames);

private:
    bool copyRequired(const QString &source, const QString &projectFolder);
    void copyIfPresent(const QString &source, const QString &projectFolder);
    // Removes the files this run created and then the project folder.
    void removeCreated(const QString &projectFolder);

    Prompter &m_prompter;
    ProgramFolder m_programFolder;
    QStringList m_created; // files this run made in the project folder
};
