#include "text_catalog.h"

#include "platform/ansi.h"

#include <QDateTime>
#include <QHash>

namespace {

// A PO string: quoted, escaped, split after each line break as gettext's tools do.
QByteArray poString(const QString &text)
{
    QByteArray escaped;
    QByteArrayList lines;
    for (const char c : text.toUtf8()) {
        switch (c) {
        case '\\':
            escaped += "\\\\";
            break;
        case '"':
            escaped += "\\\"";
            break;
        case '\t':
            escaped += "\\t";
            break;
        case '\r':
            escaped += "\\r";
            break;
        case '\n':
            escaped += "\\n";
            lines.append(escaped);
            escaped.clear();
            break;
        default:
            escaped += c;
        }
    }
    if (!escaped.isEmpty() || lines.isEmpty())
        lines.append(escaped);
    QByteArray result;
    if (lines.size() > 1)
        result += "\"\"\n";
    for (const QByteArray &line : lines)
        result += '"' + line + "\"\n";
    return result;
}

bool isDialogLabel(const QByteArray &text)
{
    if (!text.startsWith("Dialog") || text.size() == 6)
        return false;
    for (qsizetype i = 6; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
    }
    return true;
}

} // namespace

bool TextCatalog::isAuthorText(const QByteArray &nodeText)
{
    return nodeText.startsWith(authorPrefix());
}

QString TextCatalog::sourceOf(const QByteArray &nodeText)
{
    QString text = Ansi::toUnicode(nodeText.mid(authorPrefix().size()));
    text.replace(QLatin1String("\\n"), QLatin1String("\n"));
    return text;
}

QString TextCatalog::storedFormOf(const QString &translation)
{
    QString text = translation;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    return text;
}

QString TextCatalog::placeOf(const DlgRecordList &records, size_t i)
{
    // The ancestors of record i, nearest first, found walking back by level.
    int level = records[i].level;
    QByteArray parent;
    QByteArray dialog;
    size_t parentIndex = 0;
    for (size_t j = i; j-- > 0 && level > 0;) {
        if (records[j].level != level - 1)
            continue;
        --level;
        if (parent.isEmpty()) {
            parent = records[j].text;
            parentIndex = j;
        }
        if (isDialogLabel(records[j].text)) {
            dialog = records[j].text;
            break;
        }
    }
    if (dialog.isEmpty())
        return QStringLiteral("Root");
    QString place = Ansi::toUnicode(dialog);
    if (parent == dialog) {
        for (size_t j = parentIndex + 1; j < i; ++j) {
            if (records[j].level == records[i].level && records[j].text.startsWith("Speaker = "))
                return place + QStringLiteral(", ") + Ansi::toUnicode(records[j].text.mid(10));
        }
    } else if (parent.startsWith("Choice = ")) {
        return place + QStringLiteral(", answer ") + Ansi::toUnicode(parent.mid(9));
    }
    return place;
}

std::vector<TextCatalog::Entry> TextCatalog::collect(const DlgRecordList &records,
                                                     const QString &fileLabel)
{
    std::vector<Entry> entries;
    QHash<QString, size_t> bySource;
    for (size_t i = 0; i < records.size(); ++i) {
        if (!isAuthorText(records[i].text))
            continue;
        const QString source = sourceOf(records[i].text);
        // The empty message id is the PO header's; an empty text needs no translation.
        if (source.isEmpty())
            continue;
        auto found = bySource.constFind(source);
        if (found == bySource.constEnd()) {
            found = bySource.insert(source, entries.size());
            entries.push_back({source, {}, {}});
        }
        Entry &entry = entries[*found];
        const QString place = placeOf(records, i);
        const QString reference = fileLabel + u':' + place.section(u',', 0, 0);
        entry.comments.append(place);
        if (!entry.references.contains(reference))
            entry.references.append(reference);
    }
    return entries;
}

QByteArray TextCatalog::poTemplate(const std::vector<Entry> &entries, const QString &projectName)
{
    const QString now = QDateTime::currentDateTime().toOffsetFromUtc(0).toString(
        QStringLiteral("yyyy-MM-dd HH:mm+0000"));
    QByteArray po = "msgid \"\"\nmsgstr \"\"\n";
    const QStringList header = {
        QStringLiteral("Project-Id-Version: ") + projectName,
        QStringLiteral("POT-Creation-Date: ") + now,
        QStringLiteral("PO-Revision-Date: YEAR-MO-DA HO:MI+ZONE"),
        QStringLiteral("Last-Translator: FULL NAME <EMAIL@ADDRESS>"),
        QStringLiteral("Language-Team: LANGUAGE <LL@li.org>"),
        QStringLiteral("Language: "),
        QStringLiteral("MIME-Version: 1.0"),
        QStringLiteral("Content-Type: text/plain; charset=UTF-8"),
        QStringLiteral("Content-Transfer-Encoding: 8bit"),
    };
    for (const QString &field : header)
        po += poString(field + u'\n');
    for (const Entry &entry : entries) {
        po += '\n';
        for (const QString &comment : entry.comments)
            po += "#. " + comment.toUtf8() + '\n';
        po += "#: " + entry.references.join(u' ').toUtf8() + '\n';
        po += "msgid " + poString(entry.source);
        po += "msgstr \"\"\n";
    }
    return po;
}
