#include "cli_run.h"

#include <QProcess>

CliRun runTalmeroCli(const QStringList &arguments, const QString &workingDirectory, int timeoutMs)
{
    QProcess process;
    process.setWorkingDirectory(workingDirectory);
    process.start(QStringLiteral(TALMERO_PROGRAM_DIR "/talmero-cli"), arguments);
    process.waitForFinished(timeoutMs);
    CliRun run;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
#ifdef Q_OS_WIN
    // The C runtime writes each line feed to the console streams as CR LF.
    run.out.replace("\r\n", "\n");
    run.err.replace("\r\n", "\n");
#endif
    if (process.exitStatus() == QProcess::NormalExit && process.state() == QProcess::NotRunning)
        run.exitCode = process.exitCode();
    return run;
}
