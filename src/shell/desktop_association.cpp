#include "desktop_association.h"

#include "platform/app_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>
#include <QXmlStreamWriter>

namespace {

const QString desktopFile = QStringLiteral("talmero.desktop");
const QString defaultGroup = QStringLiteral("[Default Applications]");

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
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw AppError::cannotCreate(path, file.errorString());
    file.write(content);
    if (!file.commit())
        throw AppError::cannotCreate(path, file.errorString());
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

// The lines of a list file; none when it does not exist. A list that exists but cannot be read
// throws AppError rather than being replaced by a list without the user's entries.
QStringList readLines(const QString &path)
{
    QFile file(path);
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        throw AppError::cannotOpen(path, file.errorString());
    return QString::fromUtf8(file.readAll()).split(u'\n');
}

// The index of the line "mimeType=..." inside the default-application group, or -1; groupEnd
// receives the index after the group's last line (-1 without the group).
int findDefault(const QStringList &lines, const QString &mimeType, int *groupEnd)
{
    int found = -1;
    *groupEnd = -1;
    bool inGroup = false;
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.startsWith(u'[')) {
            inGroup = line == defaultGroup;
            if (inGroup)
                *groupEnd = i + 1;
            continue;
        }
        if (!inGroup)
            continue;
        if (!line.isEmpty())
            *groupEnd = i + 1;
        const qsizetype equals = line.indexOf(u'=');
        if (equals > 0 && line.left(equals).trimmed() == mimeType)
            found = i;
    }
    return found;
}

// Drops the default-application group when no entry is left in it.
void dropEmptyDefaultGroup(QStringList &lines)
{
    const qsizetype header = lines.indexOf(defaultGroup);
    if (header < 0)
        return;
    qsizetype end = header + 1;
    while (end < lines.size() && !lines[end].trimmed().startsWith(u'[')) {
        if (!lines[end].trimmed().isEmpty())
            return;
        ++end;
    }
    lines.remove(header, end - header);
}

QByteArray joinLines(QStringList lines)
{
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines.isEmpty() ? QByteArray() : (lines.join(u'\n') + u'\n').toUtf8();
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
    writeFile(mimePackagePath(ext), package);

    const QString entry =
        QStringLiteral("[Desktop Entry]\n"
                       "Type=Application\n"
                       "Name=Talmero Basic\n"
                       "Comment=%1\n"
                       "Exec=%2 %f\n"
                       "MimeType=%3;\n"
                       "Terminal=false\n"
                       "Categories=Development;\n")
            .arg(entryValue(description), entryValue(execArgument(exePath)), mimeType);
    writeFile(desktopEntryPath(), entry.toUtf8());

    QStringList lines = readLines(mimeAppsPath());
    int groupEnd = -1;
    const int existing = findDefault(lines, mimeType, &groupEnd);
    const QString line = mimeType + u'=' + desktopFile + u';';
    if (existing >= 0) {
        lines[existing] = line;
    } else if (groupEnd >= 0) {
        lines.insert(groupEnd, line);
    } else {
        while (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        if (!lines.isEmpty())
            lines << QString();
        lines << defaultGroup << line;
    }
    writeFile(mimeAppsPath(), joinLines(lines));

    refreshDatabases();
}

bool DesktopAssociation::uninstall(const QString &ext) const
{
    const QString mimeType = mimeTypeFor(ext);
    bool removed = removeFile(mimePackagePath(ext)) && removeFile(desktopEntryPath());

    // The default stays when the user has since chosen another program for the type.
    try {
        QStringList lines = readLines(mimeAppsPath());
        int groupEnd = -1;
        const int existing = findDefault(lines, mimeType, &groupEnd);
        if (existing >= 0 && lines[existing].trimmed() == mimeType + u'=' + desktopFile + u';') {
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
