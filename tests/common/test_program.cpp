#include "test_program.h"

#include <QDir>
#include <QFile>

void TestProgram::start(const QStringList &arguments)
{
    ShippedData::installFonts(folder.path());
    app = std::make_unique<TalmeroApp>(ProgramFolder(folder.path()), prompter, shell, arguments,
                                       appData.path());
}

namespace ShippedData {

void installFonts(const QString &programFolder)
{
    const QDir shipped(QStringLiteral(TALMERO_SOURCE_DIR "/data/Fonts"));
    QDir folder(programFolder);
    folder.mkpath(QStringLiteral("Fonts"));
    for (const QString &name : shipped.entryList(QDir::Files))
        QFile::copy(shipped.filePath(name), folder.filePath(QStringLiteral("Fonts/") + name));
}

} // namespace ShippedData
