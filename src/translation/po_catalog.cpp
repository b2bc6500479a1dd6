#include "po_catalog.h"

#include "platform/app_error.h"

#ifdef TALMERO_HAVE_GETTEXTPO
#include "platform/bounded_file.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QStringDecoder>
#include <QTemporaryFile>
#include <algorithm>
#include <csetjmp>
#include <cstdlib>
#include <gettext-po.h>
#endif

namespace PoCatalog {

QString unavailableText()
{
    return QStringLiteral("This build of Talmero cannot read PO files (it was built without "
                          "gettext's libgettextpo).");
}

#ifndef TALMERO_HAVE_GETTEXTPO

bool available()
{
    return false;
}

TranslatedCopy::Translations read(const QString &)
{
    throw AppError(unavailableText());
}

#else

bool available()
{
    return true;
}

namespace {

// Far above any real catalogue; the whole file is held while it is read.
constexpr qint64 kLargestFile = qint64(256) * 1024 * 1024;

// The parser reports through callbacks, and a fatal error must not return: it jumps back to
// the read. The first error is kept, naming the file the user gave, not the copy read.
struct ReadErrors
{
    QByteArray readName;
    QString shownName;
    QString first;
    std::jmp_buf fatal;
};
thread_local ReadErrors *t_errors = nullptr;

void note(int severity, const char *fileName, size_t line, const char *text)
{
    if (severity == PO_SEVERITY_WARNING || !t_errors)
        return;
    if (t_errors->first.isEmpty()) {
        QString where = !fileName                        ? QString()
                        : t_errors->readName == fileName ? t_errors->shownName
                                                         : QFile::decodeName(fileName);
        if (!where.isEmpty() && line != size_t(-1))
            where += u':' + QString::number(line);
        t_errors->first = (where.isEmpty() ? QString() : where + QStringLiteral(": ")) +
                          QString::fromUtf8(text).trimmed();
    }
    if (severity == PO_SEVERITY_FATAL_ERROR)
        std::longjmp(t_errors->fatal, 1);
}

void xerror(int severity, po_message_t, const char *fileName, size_t line, size_t, int,
            const char *text)
{
    note(severity, fileName, line, text);
}

void xerror2(int severity, po_message_t, const char *fileName, size_t line, size_t, int,
             const char *text, po_message_t, const char *, size_t, size_t, int, const char *)
{
    note(severity, fileName, line, text);
}

// Only plain data between the jump and its target.
po_file_t readFile(ReadErrors &errors)
{
    static const po_xerror_handler handler = {xerror, xerror2};
    t_errors = &errors;
    po_file_t file = nullptr;
    if (setjmp(errors.fatal) == 0)
        file = po_file_read(errors.readName.constData(), &handler);
    t_errors = nullptr;
    return file;
}

QString charsetOf(po_file_t file)
{
    const char *header = po_file_domain_header(file, nullptr);
    char *field = header ? po_header_field(header, "Content-Type") : nullptr;
    if (!field)
        return QString();
    const QString type = QString::fromLatin1(field);
    std::free(field);
    const qsizetype at = type.indexOf(QLatin1String("charset="));
    return at < 0 ? QString() : type.mid(at + 8).section(u';', 0, 0).trimmed();
}

// The value of the escape at text[at] (just after its backslash) when it stands for a number
// (octal, or hexadecimal after "x"); -1 for any other escape. at moves past it.
long escapedNumber(const QByteArray &text, qsizetype &at)
{
    const auto digit = [&](qsizetype i, int base) {
        const char c = i < text.size() ? text[i] : '\0';
        const int value = c >= '0' && c <= '9'   ? c - '0'
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                 : 99;
        return value < base ? value : -1;
    };
    const bool hex = at < text.size() && text[at] == 'x';
    const int base = hex ? 16 : 8;
    qsizetype i = hex ? at + 1 : at;
    if (digit(i, base) < 0) {
        ++at;
        return -1;
    }
    long value = 0;
    for (int count = 0; digit(i, base) >= 0 && (hex || count < 3); ++count)
        value = std::min(value * base + digit(i++, base), 0xFFFFL);
    at = i;
    return value;
}

// Whether a line of a PO file holds a NUL in a string: a NUL byte, or an escape that stands
// for one ("\0", "\x00"), which would end the text the parser hands over.
bool holdsNul(const QByteArray &line)
{
    if (line.trimmed().startsWith('#'))
        return false;
    if (line.contains('\0'))
        return true;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size();) {
        const char c = line[i++];
        if (c == '"')
            quoted = !quoted;
        else if (c == '\\' && quoted && escapedNumber(line, i) == 0)
            return true;
    }
    return false;
}

// The lines of bytes for the parser, with the reference lines ("#: file:line") left empty:
// the parser compares every reference of an entry with those before it, which takes
// quadratic time on a text shared by many dialogs, and the references are not used here.
// Every other line stays where it was, so the parser's line numbers still hold. Throws
// AppError for a line that holds a NUL.
QByteArray parsedLines(const QByteArray &bytes, const QString &fileName)
{
    QByteArray parsed;
    parsed.reserve(bytes.size());
    qsizetype start = 0;
    for (qsizetype n = 1; start < bytes.size(); ++n) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        const QByteArray line = bytes.mid(start, end - start);
        start = end + 1;
        if (holdsNul(line))
            throw AppError(QStringLiteral("%1:%2: a string holds a NUL character, which would cut "
                                          "its text short")
                               .arg(fileName)
                               .arg(n));
        if (!line.startsWith("#:"))
            parsed += line;
        parsed += '\n';
    }
    return parsed;
}

// Whether bytes read as UTF-8 and hold characters beyond ASCII: a file whose header names
// another character set then only seems to decode.
bool isUtf8Beyond7Bit(const QByteArray &bytes)
{
    if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) < 0x80; }))
        return false;
    QStringDecoder utf8(QStringDecoder::Utf8);
    [[maybe_unused]] const QString decoded = utf8.decode(bytes);
    return !utf8.hasError();
}

// The first C1 control character (U+0080 to U+009F) of text: what a file in UTF-8 shows when
// read in a single-byte character set.
QChar firstC1(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() >= 0x80 && c.unicode() <= 0x9F)
            return c;
    }
    return QChar();
}

} // namespace

TranslatedCopy::Translations read(const QString &fileName)
{
    const BoundedFile::Result source = BoundedFile::readRegular(fileName, kLargestFile);
    if (!source.ok())
        throw AppError::cannotOpen(fileName, source.reason);
    QTemporaryFile copy(QDir::tempPath() + QStringLiteral("/talmero-po-XXXXXX.po"));
    const QByteArray parsed = parsedLines(source.bytes, fileName);
    if (!copy.open() || copy.write(parsed) != parsed.size() || !copy.flush())
        throw AppError::cannotCreate(copy.fileName(), copy.errorString());
    ReadErrors errors;
    errors.readName = QFile::encodeName(copy.fileName());
    errors.shownName = fileName;
    po_file_t file = readFile(errors);
    if (!errors.first.isEmpty()) {
        if (file)
            po_file_free(file);
        throw AppError(errors.first);
    }
    if (!file)
        throw AppError(QStringLiteral("Cannot read %1.").arg(fileName));

    QString charset = charsetOf(file);
    if (charset.isEmpty() || charset.compare(QLatin1String("CHARSET"), Qt::CaseInsensitive) == 0)
        charset = QStringLiteral("UTF-8");
    const QByteArray charsetName = charset.toLatin1();
    QStringDecoder decoder(charsetName.constData());
    const auto refuse = [&](const QString &text) {
        po_file_free(file);
        throw AppError(text);
    };
    if (!decoder.isValid())
        refuse(QStringLiteral("%1: the character set %2 is not known.").arg(fileName, charset));
    if (QStringConverter::encodingForName(charsetName.constData()) != QStringConverter::Utf8 &&
        isUtf8Beyond7Bit(source.bytes))
        refuse(QStringLiteral("%1: the header names the character set %2, but the file is "
                              "written in UTF-8; its texts would come out garbled.")
                   .arg(fileName, charset));

    // A message id may stand in several contexts; a dialog file has one text for all of them.
    struct Seen
    {
        QString context;
        QString translation;
    };
    QHash<QString, Seen> seen;
    TranslatedCopy::Translations translations;
    QString bad;
    po_message_iterator_t messages = po_message_iterator(file, nullptr);
    while (po_message_t message = po_next_message(messages)) {
        const char *id = po_message_msgid(message);
        if (po_message_is_obsolete(message) || !id || !*id)
            continue;
        const bool plural = po_message_msgid_plural(message) != nullptr;
        const char *context = po_message_msgctxt(message);
        decoder.resetState();
        const QString msgid = decoder.decode(QByteArray(id));
        const QString msgstr = decoder.decode(
            QByteArray(plural ? po_message_msgstr_plural(message, 0) : po_message_msgstr(message)));
        // An entry without msgctxt is shown as such, not as an empty context.
        const QString msgctxt =
            context ? u'"' + decoder.decode(QByteArray(context)) + u'"' : QStringLiteral("(none)");
        if (decoder.hasError()) {
            bad = msgid;
            break;
        }
        if (const QChar c1 = firstC1(msgid + msgstr); !c1.isNull()) {
            refuse(QStringLiteral("%1: the entry \"%2\" holds the control character U+%3; the "
                                  "file does not seem to be written in %4, the character set "
                                  "its header names.")
                       .arg(fileName, msgid)
                       .arg(c1.unicode(), 4, 16, QLatin1Char('0'))
                       .arg(charset));
        }
        if (plural && !msgstr.isEmpty())
            translations.notes.append(
                QStringLiteral("\"%1\" is a plural entry: its first form, msgstr[0], is used")
                    .arg(msgid));
        const bool finished = !msgstr.isEmpty() && !po_message_is_fuzzy(message);
        if (const auto earlier = seen.constFind(msgid); earlier != seen.constEnd()) {
            if (finished && !earlier->translation.isEmpty() && earlier->translation != msgstr)
                refuse(QStringLiteral("%1: \"%2\" is translated differently in the contexts "
                                      "%3 and %4; a dialog file has one text for both.")
                           .arg(fileName, msgid, earlier->context, msgctxt));
            translations.notes.append(
                QStringLiteral("\"%1\" stands in the contexts %2 and %3; one translation serves "
                               "both")
                    .arg(msgid, earlier->context, msgctxt));
            if (!finished)
                continue;
        }
        seen.insert(msgid, {msgctxt, finished ? msgstr : QString()});
        if (msgstr.isEmpty())
            continue;
        if (po_message_is_fuzzy(message))
            translations.fuzzy.insert(msgid);
        else
            translations.finished.insert(msgid, msgstr);
    }
    po_message_iterator_free(messages);
    po_file_free(file);
    if (!bad.isEmpty())
        throw AppError(
            QStringLiteral("%1: the entry \"%2\" is not valid %3.").arg(fileName, bad, charset));
    return translations;
}

#endif

} // namespace PoCatalog
