#pragma once

#include "bench_prompter.h"
#include "program/talmero_app.h"
#include "windows/main_window.h"

#include <QTemporaryDir>

// The whole program in a temporary program folder, its main window shown: what the editing
// benchmarks time commands against.
struct ShownProgram
{
    explicit ShownProgram(Prompter &prompter)
        : talmero(ProgramFolder(dir.path() + QLatin1Char('/')), prompter, shell, {})
    {
        talmero.mainWindow().show();
    }

    QTemporaryDir dir;
    BenchShell shell;
    TalmeroApp talmero;
};
