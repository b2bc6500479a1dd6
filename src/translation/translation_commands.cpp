#include "translation_commands.h"

#include "persistence/dlg_file.h"
#include "persistence/dlg_reader.h"
#include "persistence/dlg_writer.h"
#include "platform/app_error.h"
#include "platform/code_page.h"
#include "platform/file_writing.h"
#include "translation/po_catalog.h"
#include "translation/text_catalog.h"
#include "translation/translated_copy.h"
#include "windows/main_window.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>

namespace {

FileDialogRequest request(FileDialogRequest::Kind kind, const char *name, const char *pattern)
{
    const QString filter = QString::fromLatin1(pattern);
    return {kind, QString::fromLatin1(name), filter, filter, QString()};
}

} // namespace

TranslationCommands::TranslationCommands(MainWindow &window) : QObject(&window), m_window(window)
{
    setObjectName(QStringLiteral("TranslationCommands"));
    exportTextsAction = new QAction(QStringLiteral("E&xport texts for translation..."), &window);
    exportTextsAction->setObjectName(QStringLiteral("exportTextsAction"));
    translatedCopyAction = new QAction(QStringLiteral("&Make translated copy..."), &window);
    translatedCopyAction->setObjectName(QStringLiteral("translatedCopyAction"));
    // After Save As, in the menu that holds Save.
    QMenu *file = nullptr;
    for (QObject *object : window.saveAction->associatedObjects()) {
        if (!file)
            file = qobject_cast<QMenu *>(object);
    }
    if (file) {
        const QList<QAction *> items = file->actions();
        const qsizetype at = items.indexOf(window.saveAsAction);
        QAction *before = at >= 0 && at + 1 < items.size() ? items.at(at + 1) : nullptr;
        file->insertSeparator(before);
        file->insertActions(before, {exportTextsAction, translatedCopyAction});
    } else {
        window.addActions({exportTextsAction, translatedCopyAction});
    }
    connect(exportTextsAction, &QAction::triggered, this,
            [this] { m_window.guarded([this] { exportTexts(); }); });
    connect(translatedCopyAction, &QAction::triggered, this,
            [this] { m_window.guarded([this] { makeTranslatedCopy(); }); });
}

void TranslationCommands::exportTexts()
{
    const QFileInfo document(m_window.CurrentFileName.isEmpty() ? QStringLiteral("Untitled.dlg")
                                                                : m_window.CurrentFileName);
    FileDialogRequest templateRequest =
        request(FileDialogRequest::Save, "TranslationTemplateDialog", "*.pot");
    templateRequest.proposedFile =
        FileDialogRequest::besideDocument(m_window.CurrentFileName, QStringLiteral(".pot"));
    const std::optional<QString> target = m_window.prompter().chooseFile(templateRequest);
    if (!target)
        return;
    const QByteArray po = TextCatalog::poTemplate(
        TextCatalog::collect(DlgWriter::records(m_window.document()), document.fileName()),
        document.completeBaseName());
    FileWriting::replace(*target, po, {m_window.CurrentFileName});
}

void TranslationCommands::makeTranslatedCopy()
{
    Prompter &prompter = m_window.prompter();
    if (!PoCatalog::available()) {
        prompter.message(PoCatalog::unavailableText());
        return;
    }
    // The copy keeps every node of the file, actions that Open left out included.
    if (m_window.CurrentFileName.isEmpty() || m_window.Modified) {
        prompter.message(QStringLiteral("Save the dialog first: the translated copy is made from "
                                        "its file as stored."));
        return;
    }
    const std::optional<QString> poFile =
        prompter.chooseFile(request(FileDialogRequest::Open, "TranslationOpenDialog", "*.po"));
    if (!poFile)
        return;
    QStringList pages;
    for (const int number : CodePage::numbers())
        pages.append(QString::number(number));
    const std::optional<QString> page = prompter.inputText(
        QStringLiteral("Make translated copy"),
        QStringLiteral("Code page of the copy (%1):").arg(pages.join(QStringLiteral(", "))),
        QStringLiteral("1252"), 4);
    if (!page)
        return;
    const std::optional<CodePage> codePage = CodePage::windows(page->trimmed().toInt());
    if (!codePage) {
        prompter.message(QStringLiteral("%1 is not one of the code pages %2.")
                             .arg(page->trimmed(), pages.join(QStringLiteral(", "))));
        return;
    }
    // The translations are read and applied before a target is asked for: an error leaves no
    // file behind.
    TranslatedCopy::Outcome outcome;
    DlgFile::ViewSize size;
    QStringList notes;
    try {
        const TranslatedCopy::Translations translations = PoCatalog::read(*poFile);
        notes = translations.notes;
        const DlgReader::Content source = DlgReader::readFile(m_window.CurrentFileName);
        size = source.viewSize;
        outcome = TranslatedCopy::make(source.records, translations, *codePage);
    } catch (const AppError &error) {
        prompter.message(error.text());
        return;
    }
    // Named after the document and the PO file's language: Castle.dlg and de.po give
    // Castle-de.dlg.
    FileDialogRequest copyRequest =
        request(FileDialogRequest::Save, "TranslatedCopyDialog", "*.dlg");
    const QString language = QFileInfo(*poFile).completeBaseName();
    const QString document = QFileInfo(m_window.CurrentFileName).completeBaseName();
    copyRequest.proposedFile = FileDialogRequest::besideDocument(
        m_window.CurrentFileName,
        (language.startsWith(document + u'-') ? language.mid(document.size()) : u'-' + language) +
            QStringLiteral(".dlg"));
    const std::optional<QString> target = prompter.chooseFile(copyRequest);
    if (!target)
        return;
    DlgWriter::writeFile(DlgWriter::stream(outcome.records, size), *target,
                         {m_window.CurrentFileName, *poFile});
    if (!notes.isEmpty())
        prompter.message(QStringLiteral("Read from the PO file:\n") + notes.join(u'\n'));
    if (!outcome.unfinished.isEmpty())
        prompter.message(QStringLiteral("The copy keeps the source text where the translation "
                                        "is missing or fuzzy:\n") +
                         outcome.unfinished.join(u'\n'));
}
