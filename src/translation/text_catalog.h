#pragma once

#include "persistence/dlg_record.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

// The texts an author wrote in a dialog file (the part after "Text = " of dialog texts and
// answers), gathered for translation as a gettext PO template. Each distinct text is one entry.
// In a message id the author's line breaks (stored as backslash and "n") are real line breaks,
// as translators' tools show them; a translation's line breaks go back to backslash and "n".
class TextCatalog
{
public:
    struct Entry
    {
        QString source;         // the text as the author sees it
        QStringList comments;   // "Dialog4, Entity", "Dialog5, answer 2"
        QStringList references; // "Castle.dlg:Dialog4"
    };

    // The entries of the records as stored, in the order the texts first appear; fileLabel
    // names the file in the references.
    static std::vector<Entry> collect(const DlgRecordList &records, const QString &fileLabel);
    // The PO template, UTF-8.
    static QByteArray poTemplate(const std::vector<Entry> &entries, const QString &projectName);

    // Whether a node text is an author's text, and that text as a message id.
    static bool isAuthorText(const QByteArray &nodeText);
    static QString sourceOf(const QByteArray &nodeText);
    // A translation as it is stored after "Text = ", still to be encoded.
    static QString storedFormOf(const QString &translation);
    // Where the text of each author's text record stands (empty for the other records):
    // "Dialog4, Entity", "Dialog5, answer 2"; the dialog alone (or "Root") for a text outside
    // the usual places. One pass, however many texts share a dialog or a choice.
    static std::vector<QString> placesOf(const DlgRecordList &records);
    static QByteArray authorPrefix() { return QByteArrayLiteral("Text = "); }
};
