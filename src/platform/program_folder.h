#pragma once

#include <QString>

// Where the program finds its files, with trailing separators. A program folder the user can
// write (a build, an unpacked zip) is portable: everything is read and written beside the
// executable. An installed program reads its shipped files (Configs/, Examples/, the character
// files in Fonts/, bin/) from the installation and writes Recent.txt, Projects/, Fonts/temp.bmp,
// prev.bmp and saved fonts into the user's data folder. Paths never depend on the current
// directory. It is handed in, so tests run the whole program against a temporary folder.
class ProgramFolder
{
public:
    // The file an installation puts beside its shipped files; it decides the installed layout.
    static constexpr char MarkerName[] = "installed.txt";

    ProgramFolder() = default;
    // A portable folder.
    explicit ProgramFolder(const QString &folder);
    ProgramFolder(const QString &shippedFolder, const QString &userFolder);

    // The layout of a program whose executable is in executableFolder: installed when a marker
    // is beside the executable or in ../share/talmero/ (where a Linux installation puts its
    // files), or when the executable's folder cannot be written; portable otherwise.
    static ProgramFolder choose(const QString &executableFolder, const QString &userDataFolder);
    // The layout of the running executable, with the user's data folder of this platform.
    static ProgramFolder ofExecutable();
    // ~/.local/share/Talmero, %LOCALAPPDATA%\Talmero.
    static QString userDataFolder();

    bool isInstalled() const { return m_shipped != m_user; }
    const QString &path() const { return m_shipped; }
    const QString &userPath() const { return m_user; }

    // A file that ships with the program.
    QString shippedFile(const QString &relative) const { return m_shipped + relative; }
    // A file the program writes; when installed, the folder that holds it is made when missing.
    QString userFile(const QString &relative) const;
    // A runtime file of bin/: the user's copy when there is one, else the installation's; the
    // user's path when there is neither.
    QString runtimeFile(const QString &relative) const;

    // One line saying which layout is in use and where the user's files are.
    QString description() const;

private:
    QString m_shipped;
    QString m_user;
};
