#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// One run of the built talmero-cli from the program folder, its output with Windows line ends
// made plain. exitCode is -1 when the program did not start, crashed or did not finish in time.
struct CliRun
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

CliRun runTalmeroCli(const QStringList &arguments, const QString &workingDirectory = QString(),
                     int timeoutMs = 30000);
