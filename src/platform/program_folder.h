#pragma once

#include <QString>

// The folder of the running program, with a trailing separator. Recent.txt, Configs/, Projects/,
// bin/, Fonts/, prev.bmp and the companion tool are found relative to it, never relative to the
// current directory. It is handed in, so tests run the whole program against a temporary folder.
class ProgramFolder
{
public:
    ProgramFolder() = default;
    explicit ProgramFolder(const QString &folder);

    // The folder of the running executable.
    static ProgramFolder ofExecutable();

    const QString &path() const { return m_path; }
    QString file(const QString &relative) const { return m_path + relative; }

private:
    QString m_path;
};
