#include "po_catalog.h"

#include "platform/app_error.h"

#include <QFileInfo>

#ifdef TALMERO_HAVE_GETTEXTPO
#include <QFile>
#include <QStringDecoder>
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

// The parser reports through callbacks, and a fatal error must not return: it jumps back to
// the read. The first error is kept.
struct ReadErrors
{
    QString first;
    std::jmp_buf fatal;
};
thread_local ReadErrors *t_errors = nullptr;

void note(int severity, const char *fileName, size_t line, const char *text)
{
    if (severity == PO_SEVERITY_WARNING || !t_errors)
        return;
    if (t_errors->first.isEmpty()) {
        QString where = fileName ? QFile::decodeName(fileName) : QString();
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
po_file_t readFile(const char *name, ReadErrors &errors)
{
    static const po_xerror_handler handler = {xerror, xerror2};
    t_errors = &errors;
    po_file_t file = nullptr;
    if (setjmp(errors.fatal) == 0)
        file = po_file_read(name, &handler);
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

} // namespace

TranslatedCopy::Translations read(const QString &fileName)
{
    const QFileInfo info(fileName);
    if (!info.isFile() || !info.isReadable())
        throw AppError(QStringLiteral("Cannot read %1: no such readable file.").arg(fileName));
    ReadErrors errors;
    po_file_t file = readFile(QFile::encodeName(fileName).constData(), errors);
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
    if (!decoder.isValid()) {
        po_file_free(file);
        throw AppError(
            QStringLiteral("%1: the character set %2 is not known.").arg(fileName, charset));
    }
    TranslatedCopy::Translations translations;
    QString bad;
    po_message_iterator_t messages = po_message_iterator(file, nullptr);
    while (po_message_t message = po_next_message(messages)) {
        const char *id = po_message_msgid(message);
        if (po_message_is_obsolete(message) || !id || !*id)
            continue;
        decoder.resetState();
        const QString msgid = decoder.decode(QByteArray(id));
        const QString msgstr = decoder.decode(QByteArray(po_message_msgstr(message)));
        if (decoder.hasError()) {
            bad = msgid;
            break;
        }
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
