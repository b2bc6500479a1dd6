#pragma once

#include "app/talmero_app.h"
#include "app/tform1.h"
#include "recording_shell.h"
#include "scripted_prompter.h"

#include <QStringList>
#include <QTemporaryDir>
#include <memory>

// The whole program in a temporary program folder that holds the shipped character files (so
// the font generator's first preview succeeds), with scripted prompts and a recording shell.
struct TestProgram
{
    QTemporaryDir folder;
    QTemporaryDir appData; // where the recovery copies go
    ScriptedPrompter prompter;
    RecordingShell shell;
    std::unique_ptr<TalmeroApp> app;

    // Creates the program's windows as its start-up does, with these command-line arguments.
    void start(const QStringList &arguments = {});
    TForm1 &form() { return app->mainWindow(); }
};

class DialogNode;
class DialogTree;

// A text dialog added as the add command adds one: DialogCount raised, the provisional number,
// image index 1, then the type, speaker and text nodes. at: none for the end of the top level.
DialogNode *addTextDialog(DialogTree &tree, DialogNode *at, const QByteArray &text,
                          const QByteArray &speaker = "Player");

namespace ShippedData {

// Lays the font generator's shipped character files into a program folder.
void installFonts(const QString &programFolder);

} // namespace ShippedData
