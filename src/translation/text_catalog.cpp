#include "text_catalog.h"

#include "platform/ansi.h"

#include <QDateTime>
#include <QHash>
#include <QSet>
#include <algorithm>

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

std::vector<QString> TextCatalog::placesOf(const DlgRecordList &records)
{
    std::vector<QString> places(records.size());
    // One pass: for each open level, the record standing there, the nearest dialog at or above
    // it, and the first speaker among the children of the record above it.
    struct Open
    {
        size_t record = 0;
        long dialog = -1;
        long speaker = -1;
    };
    std::vector<Open> open;
    for (size_t i = 0; i < records.size(); ++i) {
        const DlgRecord &record = records[i];
        open.resize(size_t(std::max(record.level, 0)));
        if (isAuthorText(record.text)) {
            const Open *parent = open.empty() ? nullptr : &open.back();
            const long dialog = parent ? parent->dialog : -1;
            QString place = QStringLiteral("Root");
            if (dialog >= 0) {
                place = Ansi::toUnicode(records[size_t(dialog)].text);
                const QByteArray &above = records[parent->record].text;
                if (size_t(dialog) == parent->record && parent->speaker >= 0)
                    place += QStringLiteral(", ") +
                             Ansi::toUnicode(records[size_t(parent->speaker)].text.mid(10));
                else if (size_t(dialog) != parent->record && above.startsWith("Choice = "))
                    place += QStringLiteral(", answer ") + Ansi::toUnicode(above.mid(9));
            }
            places[i] = place;
        }
        if (!open.empty() && open.back().speaker < 0 && record.text.startsWith("Speaker = "))
            open.back().speaker = long(i);
        const long above = open.empty() ? -1 : open.back().dialog;
        open.push_back({i, isDialogLabel(record.text) ? long(i) : above, -1});
    }
    return places;
}

std::vector<TextCatalog::Entry> TextCatalog::collect(const DlgRecordList &records,
                                                     const QString &fileLabel)
{
    std::vector<Entry> entries;
    QHash<QString, size_t> bySource;
    // The references of the entries so far, to add each once without a search through a list.
    QSet<QPair<size_t, QString>> referenced;
    const std::vector<QString> places = placesOf(records);
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
        const QString &place = places[i];
        const QString reference = fileLabel + u':' + place.section(u',', 0, 0);
        entry.comments.append(place);
        if (!referenced.contains({*found, reference})) {
            referenced.insert({*found, reference});
            entry.references.append(reference);
        }
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
