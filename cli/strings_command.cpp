#include "cli_command.h"

#include "persistence/dlg_reader.h"
#include "platform/app_error.h"
#include "platform/code_page.h"
#include "platform/file_writing.h"
#include "platform/output_target.h"
#include "translation/po_catalog.h"
#include "translation/text_catalog.h"
#include "translation/translated_copy.h"

#include <QFileInfo>
#include <QIODevice>

namespace {

constexpr int kDone = 0;
constexpr int kUnfinished = 1;
constexpr int kError = 2;

const char kUsage[] = "Usage: talmero-cli strings export FILE [--out FILE.pot]\n"
                      "       talmero-cli strings import FILE TRANSLATION.po --out TRANSLATED.dlg\n"
                      "                   [--codepage 1250|1251|1252|1253|1254|1257]\n";

// The value after option in arguments, which loses both; empty when absent.
QString takeOption(QStringList &arguments, const QString &option, bool *malformed)
{
    const qsizetype at = arguments.indexOf(option);
    if (at < 0)
        return QString();
    if (at + 1 >= arguments.size()) {
        *malformed = true;
        return QString();
    }
    const QString value = arguments.at(at + 1);
    arguments.remove(at, 2);
    return value;
}

int exportTexts(QStringList arguments, QTextStream &out, QTextStream &err)
{
    bool malformed = false;
    const QString target = takeOption(arguments, QStringLiteral("--out"), &malformed);
    if (malformed || arguments.size() != 1) {
        err << kUsage;
        return kError;
    }
    const QFileInfo source(arguments.first());
    if (!target.isEmpty())
        OutputTarget::check(target, {source.filePath()});
    const DlgReader::Content content = DlgReader::readFile(source.filePath());
    const QByteArray po = TextCatalog::poTemplate(
        TextCatalog::collect(content.records, source.fileName()), source.completeBaseName());
    if (target.isEmpty()) {
        out.flush();
        out.device()->write(po);
    } else {
        FileWriting::replace(target, po, {source.filePath()});
    }
    return kDone;
}

int importTexts(QStringList arguments, QTextStream &err)
{
    bool malformed = false;
    const QString target = takeOption(arguments, QStringLiteral("--out"), &malformed);
    const QString number = takeOption(arguments, QStringLiteral("--codepage"), &malformed);
    const std::optional<CodePage> codePage =
        CodePage::windows(number.isEmpty() ? 1252 : number.toInt());
    if (malformed || arguments.size() != 2 || target.isEmpty()) {
        err << kUsage;
        return kError;
    }
    if (!codePage) {
        QStringList known;
        for (const int page : CodePage::numbers())
            known.append(QString::number(page));
        err << "Code page " << number << " is not one of " << known.join(QStringLiteral(", "))
            << ".\n";
        return kError;
    }
    if (!PoCatalog::available())
        throw AppError(PoCatalog::unavailableText());
    OutputTarget::check(target, arguments);
    const TranslatedCopy::Translations translations = PoCatalog::read(arguments.at(1));
    const TranslatedCopy::Outcome outcome =
        TranslatedCopy::write(arguments.at(0), translations, *codePage, target, arguments);
    for (const QString &line : translations.notes + outcome.unfinished)
        err << line << '\n';
    return outcome.unfinished.isEmpty() && translations.notes.isEmpty() ? kDone : kUnfinished;
}

int run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    if (arguments.contains(QStringLiteral("--help"))) {
        out << kUsage
            << "\n"
               "export writes a gettext PO template of the texts an author wrote in a .dlg file\n"
               "as stored (dialog texts and answers; identical texts share one entry), to\n"
               "standard output or FILE.pot. A message id is the text as the author sees it: a\n"
               "line break of a dialog text (stored as backslash and n) is a real line break.\n\n"
               "import writes a copy of FILE with every text replaced by its translation from\n"
               "TRANSLATION.po and everything else unchanged, encoded in the Windows code page\n"
               "given (1252 when none). Untranslated and fuzzy entries keep their source text\n"
               "and are listed on standard error, as are plural entries (their first form is\n"
               "used) and texts that stand in several contexts. Exits with 0 when every text\n"
               "was translated, 1 when something was listed, 2 on an error, when nothing is\n"
               "written: a file that cannot be read, a malformed PO file, a string holding a\n"
               "NUL, a header character set that does not decode the file cleanly, a text\n"
               "translated differently in two contexts, a translation the code page cannot\n"
               "hold or one longer than a node holds. The output must not be FILE, the PO\n"
               "file or a special file.\n";
        return kDone;
    }
    QStringList rest = arguments;
    const QString action = rest.isEmpty() ? QString() : rest.takeFirst();
    try {
        if (action == u"export")
            return exportTexts(rest, out, err);
        if (action == u"import")
            return importTexts(rest, err);
    } catch (const AppError &e) {
        out.flush();
        err << AppError::boxText(e.text()) << '\n';
        return kError;
    }
    err << kUsage;
    return kError;
}

const CliCommand::Registration registration(
    {"strings",
     "talmero-cli strings export|import ...    PO templates of the texts, translated copies", false,
     run});

} // namespace
