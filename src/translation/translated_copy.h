#pragma once

#include "persistence/dlg_record.h"
#include "platform/code_page.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

// A dialog file's records with every author's text replaced by its translation, and the rest of
// every record as it was. Texts without a finished translation keep their source text.
class TranslatedCopy
{
public:
    struct Translations
    {
        QHash<QString, QString> finished; // by message id
        QSet<QString> fuzzy;              // message ids whose translation is marked fuzzy
        // What the reader noticed and the author is told, one line each: a plural entry, a
        // text in two contexts.
        QStringList notes;
    };

    struct Outcome
    {
        DlgRecordList records;
        QStringList unfinished; // one line per distinct text: "Dialog4: "Hello" is not translated"
    };

    // Throws AppError naming the entry when a text does not fit the code page or would be cut.
    static Outcome make(const DlgRecordList &records, const Translations &translations,
                        const CodePage &codePage);
    // The copy written to fileName, with the source file's view size: a copy that changes no
    // text has the source file's bytes. The same errors, and a fileName that OutputTarget
    // refuses as the output made from inputs.
    static Outcome write(const QString &sourceFile, const Translations &translations,
                         const CodePage &codePage, const QString &fileName,
                         const QStringList &inputs);
};
