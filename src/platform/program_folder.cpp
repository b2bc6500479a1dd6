#include "program_folder.h"

#include <QCoreApplication>
#include <QDir>

ProgramFolder::ProgramFolder(const QString &folder) : m_path(QDir::cleanPath(folder))
{
    if (!m_path.endsWith(u'/'))
        m_path += u'/';
}

ProgramFolder ProgramFolder::ofExecutable()
{
    return ProgramFolder(QCoreApplication::applicationDirPath());
}
