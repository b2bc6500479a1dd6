#include "cli_command.h"

namespace {

QList<CliCommand> &registry()
{
    static QList<CliCommand> commands;
    return commands;
}

} // namespace

CliCommand::Registration::Registration(const CliCommand &command)
{
    registry().append(command);
}

const QList<CliCommand> &CliCommand::all()
{
    return registry();
}

const CliCommand *CliCommand::find(const QString &name)
{
    for (const CliCommand &command : registry()) {
        if (name == QLatin1String(command.name))
            return &command;
    }
    return nullptr;
}
