// Times the texts for translation on the shapes that used to take quadratic time: 100,000
// dialogs with one and the same text, and one choice dialog with 100,000 answers. For each:
// the PO template of `strings export`, and reading a PO file that translates every text with
// making the translated copy of `strings import`. Also times Paste's refusal of a clipboard of
// one 50 MB line. Run by hand on a Release build: bench_strings [COUNT] [SAVE-FOLDER]; with a
// folder, both conversations are saved there as .dlg files for timing talmero-cli itself.

#include "persistence/dlg_listing.h"
#include "persistence/dlg_writer.h"
#include "platform/app_error.h"
#include "platform/code_page.h"
#include "translation/po_catalog.h"
#include "translation/text_catalog.h"
#include "translation/translated_copy.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <ctime>

namespace {

DlgRecordList sameTexts(int count)
{
    DlgRecordList records = {{0, 3, 0, -1, -1, 0, "Root"}};
    for (int i = 1; i <= count; ++i) {
        records.push_back({0, 1, 0, -1, -1, 0, "Dialog" + QByteArray::number(i)});
        records.push_back({1, 0, 0, -1, -1, 0, "Type = Text"});
        records.push_back({1, 0, 0, -1, -1, 0, "Speaker = Entity"});
        records.push_back({1, 0, 0, -1, -1, 0, "Text = Good morning."});
    }
    return records;
}

DlgRecordList manyAnswers(int count)
{
    DlgRecordList records = {{0, 3, 0, -1, -1, 0, "Root"}, {0, 2, 0, -1, -1, 0, "Dialog1"}};
    for (int i = 1; i <= count; ++i) {
        records.push_back({1, 0, 0, -1, -1, 0, "Choice = " + QByteArray::number(i)});
        records.push_back({2, 0, 0, -1, -1, 0, "Text = Answer " + QByteArray::number(i)});
    }
    return records;
}

// A PO file translating every entry of the template.
QByteArray translated(const QByteArray &pot)
{
    QByteArray po;
    for (const QByteArray &line : pot.split('\n')) {
        if (line.startsWith("msgstr \"\"") && !po.endsWith("msgid \"\"\n"))
            po += "msgstr \"Translated\"\n";
        else
            po += line + '\n';
    }
    return po;
}

// Wall time, and the processor time that a busy machine does not stretch.
struct Took
{
    qint64 wallMs;
    qint64 cpuMs;
};

template <typename Work> Took timed(Work work)
{
    QElapsedTimer wall;
    wall.start();
    const std::clock_t cpu = std::clock();
    work();
    return {wall.elapsed(), qint64(std::clock() - cpu) * 1000 / CLOCKS_PER_SEC};
}

void time(const char *name, const DlgRecordList &records, const QTemporaryDir &folder)
{
    QByteArray pot;
    const Took exported = timed([&] {
        pot = TextCatalog::poTemplate(TextCatalog::collect(records, QStringLiteral("bench.dlg")),
                                      QStringLiteral("bench"));
    });
    const QString poFile = folder.filePath(QStringLiteral("bench.po"));
    QFile file(poFile);
    if (!file.open(QIODevice::WriteOnly) || file.write(translated(pot)) < 0)
        return;
    file.close();
    qsizetype unfinished = 0;
    const Took imported = timed([&] {
        if (PoCatalog::available())
            unfinished =
                TranslatedCopy::make(records, PoCatalog::read(poFile), *CodePage::windows(1252))
                    .unfinished.size();
    });
    std::printf("%-24s export %5lld ms (cpu %5lld)   import %5lld ms (cpu %5lld), %lld "
                "untranslated\n",
                name, static_cast<long long>(exported.wallMs),
                static_cast<long long>(exported.cpuMs), static_cast<long long>(imported.wallMs),
                static_cast<long long>(imported.cpuMs), static_cast<long long>(unfinished));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const int count = arguments.size() > 1 ? arguments.at(1).toInt() : 100000;
    QTemporaryDir folder;
    const DlgRecordList same = sameTexts(count);
    const DlgRecordList answers = manyAnswers(count);
    time("dialogs with one text", same, folder);
    time("answers of one choice", answers, folder);
    if (arguments.size() > 2) {
        const QDir save(arguments.at(2));
        DlgWriter::writeFile(DlgWriter::stream(same, {}),
                             save.filePath(QStringLiteral("same.dlg")));
        DlgWriter::writeFile(DlgWriter::stream(answers, {}),
                             save.filePath(QStringLiteral("answers.dlg")));
    }

    const QByteArray line(50 * 1024 * 1024, 'x');
    QString refusal;
    const Took pasted = timed([&] {
        try {
            DlgListing::parse(line, QStringLiteral("Clipboard"));
        } catch (const AppError &error) {
            refusal = error.text();
        }
    });
    std::printf("a 50 MB clipboard line: %lld ms (cpu %lld): %s\n",
                static_cast<long long>(pasted.wallMs), static_cast<long long>(pasted.cpuMs),
                qPrintable(refusal));
    return 0;
}
