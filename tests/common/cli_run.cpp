#include "cli_run.h"

#include <QProcess>

CliRun runTalmeroCli(const QStringList &arguments, const QString &workingDirectory, int timeoutMs,
                     const QString &outputFile)
{
    QProcess process;
    process.setWorkingDirectory(workingDirectory);
    if (!outputFile.isEmpty())
        process.setStandardOutputFile(outputFile);
    // Under Wine a process start can fail now and then; that says nothing about the program, so
    // a start that failed outright is tried again before the run counts as failed.
    bool started = false;
    for (int attempt = 0; attempt < 3 && !started; ++attempt) {
        process.start(QStringLiteral(TALMERO_PROGRAM_DIR "/talmero-cli"), arguments);
        started = process.waitForStarted(timeoutMs);
        if (process.state() != QProcess::NotRunning)
            break;
    }
    CliRun run;
    if (!started) {
        // A process that never ran has no exit code of its own; QProcess would report 0.
        run.err = process.errorString().toUtf8();
        return run;
    }
    process.waitForFinished(timeoutMs);
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
