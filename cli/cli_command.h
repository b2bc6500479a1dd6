#pragma once

#include <QStringList>
#include <QTextStream>

// One sub-command of talmero-cli. Each command registers itself from its own source file with a
// static CliCommand::Registration.
struct CliCommand
{
    using Run = int (*)(const QStringList &arguments, QTextStream &out, QTextStream &err);

    const char *name;
    const char *usage; // the synopsis line for --help
    bool needsGui;     // renders with the GUI module (fonts), so starts a QGuiApplication
    Run run;
    // When set, decides needsGui from the command's arguments.
    bool (*needsGuiFor)(const QStringList &arguments) = nullptr;

    struct Registration
    {
        explicit Registration(const CliCommand &command);
    };

    static const QList<CliCommand> &all();
    static const CliCommand *find(const QString &name);
};
