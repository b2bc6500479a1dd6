#include "translated_copy.h"

#include "persistence/dlg_file.h"
#include "persistence/dlg_reader.h"
#include "persistence/dlg_writer.h"
#include "platform/app_error.h"
#include "text_catalog.h"

namespace {

// Saving keeps this many bytes of a node text.
constexpr qsizetype kStoredTextLimit = 255;

QString quoted(const QString &text)
{
    QString shown = text;
    shown.replace(u'\n', QLatin1String("\\n"));
    return u'"' + shown + u'"';
}

} // namespace

TranslatedCopy::Outcome TranslatedCopy::make(const DlgRecordList &records,
                                             const Translations &translations,
                                             const CodePage &codePage)
{
    Outcome outcome;
    outcome.records = records;
    QSet<QString> reported;
    const std::vector<QString> places = TextCatalog::placesOf(records);
    for (size_t i = 0; i < records.size(); ++i) {
        DlgRecord &record = outcome.records[i];
        if (!TextCatalog::isAuthorText(record.text))
            continue;
        const QString source = TextCatalog::sourceOf(record.text);
        if (source.isEmpty())
            continue;
        const QString place = places[i].section(u',', 0, 0);
        const auto found = translations.finished.constFind(source);
        const bool finished = found != translations.finished.constEnd();
        if (!finished && !reported.contains(source)) {
            reported.insert(source);
            outcome.unfinished.append(QStringLiteral("%1: %2 is %3")
                                          .arg(place, quoted(source),
                                               translations.fuzzy.contains(source)
                                                   ? QStringLiteral("fuzzy")
                                                   : QStringLiteral("not translated")));
        }
        const QString text = TextCatalog::storedFormOf(finished ? *found : source);
        QString missing;
        const std::optional<QByteArray> bytes = codePage.encode(text, &missing);
        // Made only for a refusal: most texts need no such words.
        const auto entry = [&] { return QStringLiteral("%1 (%2)").arg(quoted(source), place); };
        if (!bytes)
            throw AppError(QStringLiteral("The translation of %1: %2")
                               .arg(entry(), codePage.missingText(missing)));
        const QByteArray stored = TextCatalog::authorPrefix() + *bytes;
        if (stored.size() > kStoredTextLimit)
            throw AppError(
                QStringLiteral("The translation of %1 is %2 bytes long with \"Text = \"; a dialog "
                               "file keeps %3.")
                    .arg(entry())
                    .arg(stored.size())
                    .arg(kStoredTextLimit));
        record.text = stored;
    }
    return outcome;
}

TranslatedCopy::Outcome TranslatedCopy::write(const QString &sourceFile,
                                              const Translations &translations,
                                              const CodePage &codePage, const QString &fileName,
                                              const QStringList &inputs)
{
    const DlgReader::Content content = DlgReader::readFile(sourceFile);
    Outcome outcome = make(content.records, translations, codePage);
    DlgWriter::writeFile(DlgWriter::stream(outcome.records, content.viewSize), fileName, inputs);
    return outcome;
}
