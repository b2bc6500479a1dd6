#pragma once

#include "platform/shell_services.h"

#include <QList>
#include <QPair>
#include <QStringList>

// Records what the program asks the shell to open or start, instead of doing it.
class RecordingShell : public ShellServices
{
public:
    void open(const QString &target) override { opened.append(target); }
    void start(const QString &program, const QString &argument) override
    {
        started.append({program, argument});
    }

    QStringList opened;
    QList<QPair<QString, QString>> started;
};
