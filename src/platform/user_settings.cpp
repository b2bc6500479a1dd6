#include "user_settings.h"

#include "platform/bounded_file.h"
#include "platform/native_path.h"

#include <QStandardPaths>

namespace UserSettings {

namespace {

// A few settings take a few hundred bytes.
constexpr qint64 kLargestFile = 1024 * 1024;

QString &folder()
{
#ifdef Q_OS_WIN
    // Where QSettings keeps a user's INI files on Windows.
    static QString path = qEnvironmentVariable("APPDATA");
#else
    static QString path = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
#endif
    return path;
}

QString &lastRefusal()
{
    static QString refusal;
    return refusal;
}

} // namespace

QString fileName()
{
    return folder() + QStringLiteral("/talmero/talmero.ini");
}

void setFolder(const QString &path)
{
    folder() = path;
}

std::unique_ptr<QSettings> open()
{
    const QString path = fileName();
    const BoundedFile::Result file = BoundedFile::probeRegular(path, kLargestFile);
    lastRefusal().clear();
    if (file.ok() || file.status == BoundedFile::Status::Missing)
        return std::make_unique<QSettings>(path, QSettings::IniFormat);
    lastRefusal() = QStringLiteral("The settings file %1 was not read and will not be written "
                                   "(%2). Talmero goes on with its default settings.")
                        .arg(nativePath(path), file.reason);
    // Without a file name the settings stay in memory.
    return std::make_unique<QSettings>(QString(), QSettings::IniFormat);
}

QString refusal()
{
    return lastRefusal();
}

} // namespace UserSettings
