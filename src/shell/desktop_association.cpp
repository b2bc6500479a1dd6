#include "desktop_association.h"

#include "platform/app_error.h"
#include "platform/bounded_file.h"
#include "platform/file_writing.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QXmlStreamWriter>
#include <optional>

namespace {

const QString desktopFile = QStringLiteral("talmero.desktop");
const QByteArray defaultGroup = QByteArrayLiteral("[Default Applications]");
// A desktop entry, MIME package or defaults list larger than this is no real one.
const qint64 kMaxListSize = 1024 * 1024;

// An argument of an Exec line. It is quoted only when it holds a reserved character, as the
// desktop entry rules ask: the plain form is the one every launcher reads (xdg-open's own
// fallback takes quotes for part of the program name). Inside the quotes a double quote,
// backquote, dollar sign and backslash are escaped; a percent sign is doubled in either form so
// that it is no field code.
QString execArgument(const QString &argument)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool quote = argument.isEmpty();
    QString escaped;
    for (const QChar c : argument) {
        if (reserved.contains(c))
            quote = true;
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            escaped += u'\\';
        if (c == u'%')
            escaped += u'%';
        escaped += c;
    }
    if (!quote)
        return escaped;
    return u'"' + escaped + u'"';
}

// The Exec value's program and its arguments before the file's field code. Launchers look the
// program up before they expand "%%", so a program path holding "%" is handed to the shell as
// an argument instead, where the expansion reaches it.
QString execCommand(const QString &exePath)
{
    if (!exePath.contains(u'%'))
        return execArgument(exePath);
    return QStringLiteral("sh -c ") + execArgument(QStringLiteral("exec \"$0\" \"$@\"")) + u' ' +
           execArgument(exePath);
}

// A desktop entry value: backslashes and line breaks are escaped.
QString entryValue(const QString &text)
{
    QString value = text;
    value.replace(u'\\', QStringLiteral("\\\\"));
    value.replace(u'\n', QStringLiteral("\\n"));
    value.replace(u'\r', QStringLiteral("\\r"));
    value.replace(u'\t', QStringLiteral("\\t"));
    return value;
}

void writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    FileWriting::replace(path, content);
}

bool removeFile(const QString &path)
{
    return !QFileInfo::exists(path) || QFile::remove(path);
}

// Runs a database tool quietly: its notes about search paths are meant for a terminal.
void runTool(const QString &tool, const QString &folder)
{
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(tool, {folder});
    process.waitForFinished();
}

// The list file split at every line feed, so that joining with line feeds gives its bytes back:
// other programs' lines keep their carriage returns and bytes that are not UTF-8. A missing file
// gives no lines. A list that cannot be read, is too large or is no regular file throws AppError
// rather than being replaced by a list without the user's entries.
QList<QByteArray> readLines(const QString &path)
{
    const BoundedFile::Result file = BoundedFile::readRegular(path, kMaxListSize);
    if (file.status == BoundedFile::Status::Missing)
        return {};
    if (!file.ok())
        throw AppError::cannotOpen(path, file.reason);
    if (file.bytes.isEmpty())
        return {};
    return file.bytes.split('\n');
}

QByteArray joinLines(const QList<QByteArray> &lines)
{
    return lines.join('\n');
}

// The index of the line "mimeType=..." inside the default-application group, or -1; groupEnd
// receives the index after the group's last line (-1 without the group).
int findDefault(const QList<QByteArray> &lines, const QByteArray &mimeType, int *groupEnd)
{
    int found = -1;
    *groupEnd = -1;
    bool inGroup = false;
    for (int i = 0; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        if (line.startsWith('[')) {
            inGroup = line == defaultGroup;
            if (inGroup)
                *groupEnd = i + 1;
            continue;
        }
        if (!inGroup)
            continue;
        if (!line.isEmpty())
            *groupEnd = i + 1;
        const qsizetype equals = line.indexOf('=');
        if (equals > 0 && line.left(equals).trimmed() == mimeType)
            found = i;
    }
    return found;
}

// Drops the default-application group when no entry is left in it.
void dropEmptyDefaultGroup(QList<QByteArray> &lines)
{
    qsizetype header = -1;
    for (qsizetype i = 0; i < lines.size() && header < 0; ++i) {
        if (lines[i].trimmed() == defaultGroup)
            header = i;
    }
    if (header < 0)
        return;
    qsizetype end = header + 1;
    while (end < lines.size() && !lines[end].trimmed().startsWith('[')) {
        if (!lines[end].trimmed().isEmpty())
            return;
        ++end;
    }
    // The group's trailing blank lines go with it, but the file's final line end stays.
    if (end == lines.size() && header > 0)
        --end;
    lines.remove(header, end - header);
}

// The files one install is about to write, each with its old bytes (none for a new file), so
// that a failure can put them back.
using SavedFiles = QList<std::pair<QString, std::optional<QByteArray>>>;

void remember(SavedFiles &saved, const QString &path)
{
    const BoundedFile::Result old = BoundedFile::readRegular(path, kMaxListSize);
    saved.append({path, old.ok() ? std::optional<QByteArray>(old.bytes) : std::nullopt});
}

// Best effort: the failure that made the install stop is the one reported.
void restore(const SavedFiles &saved)
{
    for (const auto &[path, bytes] : saved) {
        try {
            if (bytes)
                FileWriting::replace(path, *bytes);
            else
                removeFile(path);
        } catch (const AppError &) {
        }
    }
}

} // namespace

DesktopAssociation::DesktopAssociation(QString dataHome, QString configHome)
    : m_dataHome(std::move(dataHome)), m_configHome(std::move(configHome))
{
}

DesktopAssociation DesktopAssociation::forCurrentUser()
{
    const QString home = QDir::homePath();
    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (!QDir::isAbsolutePath(dataHome))
        dataHome = home + QStringLiteral("/.local/share");
    QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!QDir::isAbsolutePath(configHome))
        configHome = home + QStringLiteral("/.config");
    return DesktopAssociation(dataHome, configHome);
}

QString DesktopAssociation::bareExtension(const QString &ext)
{
    QString bare = ext.startsWith(u'.') ? ext.mid(1) : ext;
    // Only characters that are safe in a file name and a MIME type name.
    for (QChar &c : bare) {
        if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != u'-' && c != u'_' && c != u'+')
            c = u'_';
    }
    return bare.toLower();
}

QString DesktopAssociation::mimeTypeFor(const QString &ext)
{
    return QStringLiteral("application/x-talmero-") + bareExtension(ext);
}

QString DesktopAssociation::mimePackagePath(const QString &ext) const
{
    return m_dataHome + QStringLiteral("/mime/packages/talmero-") + bareExtension(ext) +
           QStringLiteral(".xml");
}

QString DesktopAssociation::desktopEntryPath() const
{
    return m_dataHome + QStringLiteral("/applications/") + desktopFile;
}

QString DesktopAssociation::mimeAppsPath() const
{
    return m_configHome + QStringLiteral("/mimeapps.list");
}

void DesktopAssociation::install(const QString &ext, const QString &description,
                                 const QString &exePath) const
{
    const QString mimeType = mimeTypeFor(ext);
    const QString dotted = ext.startsWith(u'.') ? ext : u'.' + ext;

    QByteArray package;
    QXmlStreamWriter xml(&package);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("mime-info"));
    xml.writeDefaultNamespace(
        QStringLiteral("http://www.freedesktop.org/standards/shared-mime-info"));
    xml.writeStartElement(QStringLiteral("mime-type"));
    xml.writeAttribute(QStringLiteral("type"), mimeType);
    xml.writeTextElement(QStringLiteral("comment"), description);
    xml.writeEmptyElement(QStringLiteral("glob"));
    xml.writeAttribute(QStringLiteral("pattern"), u'*' + dotted);
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndDocument();
    const QString entry =
        QStringLiteral("[Desktop Entry]\n"
                       "Type=Application\n"
                       "Name=Talmero Basic\n"
                       "Comment=%1\n"
                       "Exec=%2 %f\n"
                       "MimeType=%3;\n"
                       "Terminal=false\n"
                       "Categories=Development;\n")
            .arg(entryValue(description), entryValue(execCommand(exePath)), mimeType);

    QList<QByteArray> lines = readLines(mimeAppsPath());
    int groupEnd = -1;
    const QByteArray type = mimeType.toUtf8();
    const int existing = findDefault(lines, type, &groupEnd);
    const QByteArray line = type + '=' + desktopFile.toUtf8() + ';';
    if (existing >= 0) {
        lines[existing] = lines[existing].endsWith('\r') ? line + '\r' : line;
    } else if (groupEnd >= 0) {
        // The new line takes the line end of the group's last line.
        const bool crLf = lines[groupEnd - 1].endsWith('\r');
        lines.insert(groupEnd, crLf ? line + '\r' : line);
        // The group was the last line, without a line end of its own.
        if (groupEnd == lines.size() - 1)
            lines << QByteArray();
    } else {
        if (!lines.isEmpty() && !lines.last().isEmpty())
            lines << QByteArray();
        if (!lines.isEmpty())
            lines << QByteArray();
        lines << defaultGroup << line << QByteArray();
    }

    // All three files or none: a failure puts back what this call had written.
    SavedFiles saved;
    try {
        remember(saved, mimePackagePath(ext));
        writeFile(mimePackagePath(ext), package);
        remember(saved, desktopEntryPath());
        writeFile(desktopEntryPath(), entry.toUtf8());
        remember(saved, mimeAppsPath());
        writeFile(mimeAppsPath(), joinLines(lines));
    } catch (const AppError &) {
        restore(saved);
        throw;
    }

    refreshDatabases();
}

bool DesktopAssociation::uninstall(const QString &ext) const
{
    const QString mimeType = mimeTypeFor(ext);
    bool removed = removeFile(mimePackagePath(ext)) && removeFile(desktopEntryPath());

    // The default stays when the user has since chosen another program for the type.
    try {
        QList<QByteArray> lines = readLines(mimeAppsPath());
        int groupEnd = -1;
        const QByteArray type = mimeType.toUtf8();
        const int existing = findDefault(lines, type, &groupEnd);
        if (existing >= 0 && lines[existing].trimmed() == type + '=' + desktopFile.toUtf8() + ';') {
            lines.removeAt(existing);
            dropEmptyDefaultGroup(lines);
            const QByteArray content = joinLines(lines);
            if (content.trimmed().isEmpty())
                removed = QFile::remove(mimeAppsPath()) && removed;
            else
                writeFile(mimeAppsPath(), content);
        }
    } catch (const AppError &) {
        removed = false;
    }

    refreshDatabases();
    return removed;
}

void DesktopAssociation::refreshDatabases() const
{
    const QString mimeTool = QStandardPaths::findExecutable(QStringLiteral("update-mime-database"));
    if (!mimeTool.isEmpty() && QFileInfo::exists(m_dataHome + QStringLiteral("/mime/packages")))
        runTool(mimeTool, m_dataHome + QStringLiteral("/mime"));
    const QString desktopTool =
        QStandardPaths::findExecutable(QStringLiteral("update-desktop-database"));
    if (!desktopTool.isEmpty() && QFileInfo::exists(m_dataHome + QStringLiteral("/applications")))
        runTool(desktopTool, m_dataHome + QStringLiteral("/applications"));
}
