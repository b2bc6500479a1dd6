#pragma once

#include "program/talmero_app.h"
#include "recording_shell.h"
#include "scripted_prompter.h"
#include "test_documents.h"
#include "windows/main_window.h"

#include <QStringList>
#include <QTemporaryDir>
#include <memory>

// The whole program in a temporary program folder that holds the shipped character files (so
// the font generator's first preview succeeds), with scripted prompts and a recording shell.
struct TestProgram
{
    QTemporaryDir folder;
    QTemporaryDir appData; // where the recovery copies go
    QStringList olderRecoveryFolders;
    ScriptedPrompter prompter;
    RecordingShell shell;
    std::unique_ptr<TalmeroApp> app;

    // Creates the program's windows as its start-up does, with these command-line arguments.
    void start(const QStringList &arguments = {});
    MainWindow &mainWindow() { return app->mainWindow(); }
};

class DialogTreeView;

// Whether the view shows node open: each child on its own row below the node, in tree order,
// one level further in.
bool shownOpen(const DialogTreeView &view, const DialogNode *node);

namespace ShippedData {

// Lays the font generator's shipped character files into a program folder.
void installFonts(const QString &programFolder);

} // namespace ShippedData
