#pragma once

#include <QString>

// The association of a file extension with this program on freedesktop systems, for the
// current user: a shared-mime-info package that gives the extension a MIME type, a desktop entry
// that starts the program with the file, and the user's default application for that type.
// The MIME and desktop databases are refreshed when their tools are installed.
class DesktopAssociation
{
public:
    // dataHome: $XDG_DATA_HOME (mime/ and applications/ go below it); configHome:
    // $XDG_CONFIG_HOME (mimeapps.list).
    DesktopAssociation(QString dataHome, QString configHome);

    // The folders of the environment, with the usual defaults ~/.local/share and ~/.config.
    static DesktopAssociation forCurrentUser();

    // ".dlg" gives application/x-talmero-dlg.
    static QString mimeTypeFor(const QString &ext);

    QString mimePackagePath(const QString &ext) const;
    QString desktopEntryPath() const;
    QString mimeAppsPath() const;

    // Writes the three files; a file that cannot be written throws AppError.
    void install(const QString &ext, const QString &description, const QString &exePath) const;
    // Removes what install wrote for the extension; false when a file stays behind.
    bool uninstall(const QString &ext) const;

private:
    static QString bareExtension(const QString &ext);
    void refreshDatabases() const;

    QString m_dataHome;
    QString m_configHome;
};
