#include "dlg_reader_fuzz.h"

#include <QDir>
#include <QFile>
#include <cstdio>

// Runs every file of the given folders (or the given files) through the fuzz target once: the
// corpus replay that CTest runs under the sanitizers without needing libFuzzer.
int main(int argc, char *argv[])
{
    int inputs = 0;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        QStringList files;
        if (QFileInfo(arg).isDir()) {
            for (const QString &name : QDir(arg).entryList(QDir::Files, QDir::Name))
                files << QDir(arg).filePath(name);
        } else {
            files << arg;
        }
        for (const QString &name : files) {
            QFile file(name);
            if (!file.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "cannot read %s\n", qPrintable(name));
                return 1;
            }
            const QByteArray bytes = file.readAll();
            fuzzDlgReader(reinterpret_cast<const uint8_t *>(bytes.constData()),
                          size_t(bytes.size()));
            ++inputs;
        }
    }
    std::printf("%d inputs replayed\n", inputs);
    return inputs > 0 ? 0 : 1;
}
