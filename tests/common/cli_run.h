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

// outputFile, when given, takes the standard output in place of the pipe (out stays empty).
CliRun runTalmeroCli(const QStringList &arguments, const QString &workingDirectory = QString(),
                     int timeoutMs = 30000, const QString &outputFile = QString());
