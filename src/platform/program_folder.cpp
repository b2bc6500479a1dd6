#include "program_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace {

QString asFolder(const QString &folder)
{
    QString path = QDir::cleanPath(folder);
    if (!path.endsWith(u'/'))
        path += u'/';
    return path;
}

bool hasMarker(const QString &folder)
{
    return QFileInfo(folder + QLatin1String(ProgramFolder::MarkerName)).isFile();
}

// A file is made and removed again: permission bits say nothing reliable on Windows.
bool canWrite(const QString &folder)
{
    QTemporaryFile probe(folder + QStringLiteral(".talmero-probe-XXXXXX"));
    return probe.open();
}

} // namespace

ProgramFolder::ProgramFolder(const QString &folder) : ProgramFolder(folder, folder) {}

ProgramFolder::ProgramFolder(const QString &shippedFolder, const QString &userFolder)
    : m_shipped(asFolder(shippedFolder)), m_user(asFolder(userFolder))
{
}

ProgramFolder ProgramFolder::choose(const QString &executableFolder, const QString &userDataFolder)
{
    const QString executable = asFolder(executableFolder);
    const QString shared = asFolder(executable + QStringLiteral("../share/talmero"));
    if (hasMarker(shared))
        return ProgramFolder(shared, userDataFolder);
    if (hasMarker(executable) || !canWrite(executable))
        return ProgramFolder(executable, userDataFolder);
    return ProgramFolder(executable);
}

ProgramFolder ProgramFolder::ofExecutable()
{
    return choose(QCoreApplication::applicationDirPath(), userDataFolder());
}

QString ProgramFolder::userDataFolder()
{
    // Not AppDataLocation: that depends on the application name each program sets, and is the
    // roaming profile on Windows.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Talmero");
}

QString ProgramFolder::userFile(const QString &relative) const
{
    const QString path = m_user + relative;
    // The user's data folder is made on first use; a portable folder stays as the user left it.
    // A failure shows when the file is written, with the reason.
    if (isInstalled())
        QDir().mkpath(relative.endsWith(u'/') ? path : QFileInfo(path).absolutePath());
    return path;
}

QString ProgramFolder::runtimeFile(const QString &relative) const
{
    const QString own = m_user + relative;
    const QString shipped = shippedFile(relative);
    // When neither is there, the missing file is named where the user can put it.
    return QFileInfo::exists(own) || !QFileInfo::exists(shipped) ? own : shipped;
}

QString ProgramFolder::description() const
{
    if (isInstalled())
        return QStringLiteral("Installed in %1; your files are in %2")
            .arg(QDir::toNativeSeparators(m_shipped), QDir::toNativeSeparators(m_user));
    return QStringLiteral("Portable; your files are in the program folder %1")
        .arg(QDir::toNativeSeparators(m_shipped));
}
