#pragma once

#include "platform/prompter.h"
#include "platform/shell_services.h"

// The benchmarks' prompts: every question is answered Yes, messages are counted, errors are
// printed, dialogs are cancelled.
class BenchPrompter : public Prompter
{
public:
    int messages = 0;

    void message(const QString &) override { ++messages; }
    bool confirm(const QString &) override { return true; }
    void error(const QString &text) override;
    std::optional<QString> chooseFile(const FileDialogRequest &) override { return {}; }
    void keepFileName(const QString &, const QString &) override {}
    std::optional<QString> inputText(const QString &, const QString &, const QString &,
                                     int) override
    {
        return {};
    }
    std::optional<FontChoice> chooseFont(const FontChoice &, bool) override { return {}; }
    std::optional<quint32> chooseColor(quint32) override { return {}; }
};

// Starts and opens nothing.
class BenchShell : public ShellServices
{
public:
    void open(const QString &) override {}
    void start(const QString &, const QString &) override {}
};
