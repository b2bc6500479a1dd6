#include "spell_dictionary.h"

#include "platform/app_error.h"
#include "platform/bounded_file.h"
#include "platform/file_writing.h"
#include "platform/native_path.h"
#include "platform/output_target.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QStringEncoder>
#include <cerrno>

#ifdef TALMERO_HAVE_HUNSPELL
#include <hunspell.hxx>
#endif

namespace {

// The largest dictionaries (Hungarian, Basque) take some tens of megabytes; a personal list
// grows by a word at a time.
constexpr qint64 kLargestDictionaryFile = qint64(256) * 1024 * 1024;
constexpr qint64 kLargestWordList = qint64(16) * 1024 * 1024;

} // namespace

SpellDictionary::~SpellDictionary() = default;

bool SpellDictionary::available()
{
#ifdef TALMERO_HAVE_HUNSPELL
    return true;
#else
    return false;
#endif
}

QString SpellDictionary::unavailableText()
{
    return QStringLiteral("This build of Talmero cannot check spelling (it was built without "
                          "Hunspell).");
}

QStringList SpellDictionary::folders()
{
    QStringList result = {QCoreApplication::applicationDirPath() + QStringLiteral("/Dictionaries")};
#ifndef Q_OS_WIN
    result << QStringLiteral("/usr/share/hunspell") << QStringLiteral("/usr/share/myspell/dicts")
           << QStringLiteral("/usr/share/myspell");
#endif
    return result;
}

QStringList SpellDictionary::installed()
{
    QStringList languages;
    if (!available())
        return languages;
    for (const QString &folder : folders()) {
        const QDir dir(folder);
        for (const QString &aff : dir.entryList({QStringLiteral("*.aff")}, QDir::Files)) {
            const QString language = aff.chopped(4);
            if (dir.exists(language + QStringLiteral(".dic")) && !languages.contains(language))
                languages.append(language);
        }
    }
    languages.sort();
    return languages;
}

QString SpellDictionary::personalWordsFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Talmero/words.txt");
}

std::shared_ptr<SpellDictionary> SpellDictionary::open(const QString &language, QString *problem)
{
    if (problem)
        problem->clear();
    for (const QString &folder : folders()) {
        const QString base = folder + u'/' + language;
        if (language.isEmpty() || language.contains(u'/') ||
            !QFile::exists(base + QLatin1String(".aff")) ||
            !QFile::exists(base + QLatin1String(".dic")))
            continue;
        return load(base + QLatin1String(".aff"), base + QLatin1String(".dic"), language, problem);
    }
    return nullptr;
}

std::shared_ptr<SpellDictionary> SpellDictionary::load(const QString &affixFile,
                                                       const QString &wordFile,
                                                       const QString &language, QString *problem)
{
    QString why;
    std::shared_ptr<SpellDictionary> dictionary;
#ifdef TALMERO_HAVE_HUNSPELL
    for (const QString &file : {affixFile, wordFile}) {
        const BoundedFile::Result probe = BoundedFile::probeRegular(file, kLargestDictionaryFile);
        if (!probe.ok() && why.isEmpty())
            why = AppError::cannotOpen(file, probe.reason).text();
    }
    if (why.isEmpty()) {
        dictionary.reset(new SpellDictionary);
        dictionary->m_language = language;
        try {
            dictionary->m_hunspell = std::make_unique<Hunspell>(
                QFile::encodeName(affixFile).constData(), QFile::encodeName(wordFile).constData());
            dictionary->m_encoding =
                QByteArray(dictionary->m_hunspell->get_dict_encoding().c_str());
        } catch (const std::exception &error) {
            why = QStringLiteral("Hunspell cannot load it (%1)")
                      .arg(QString::fromLocal8Bit(error.what()));
            dictionary.reset();
        }
    }
    if (dictionary) {
        // The list is the author's own file: read only when it is a regular file of a sane size.
        const BoundedFile::Result words =
            BoundedFile::readRegular(personalWordsFile(), kLargestWordList);
        if (words.ok()) {
            for (const QByteArray &line : words.bytes.split('\n')) {
                const QString word = QString::fromUtf8(line).trimmed();
                if (!word.isEmpty())
                    dictionary->addWord(word, false);
            }
        } else if (words.status != BoundedFile::Status::Missing) {
            why = QStringLiteral("Your word list %1 was not read (%2); the words in it are "
                                 "underlined.")
                      .arg(nativePath(personalWordsFile()), words.reason);
        }
    } else {
        why = AppError::boxText(
            QStringLiteral("The %1 dictionary cannot be used. %2").arg(language, why));
    }
#else
    Q_UNUSED(affixFile);
    Q_UNUSED(wordFile);
    Q_UNUSED(language);
#endif
    if (problem)
        *problem = why;
    return dictionary;
}

QByteArray SpellDictionary::encoded(const QString &word) const
{
    if (m_encoding.isEmpty() || m_encoding.compare("UTF-8", Qt::CaseInsensitive) == 0)
        return word.toUtf8();
    QStringEncoder encoder(m_encoding.constData());
    if (!encoder.isValid())
        return word.toUtf8();
    const QByteArray bytes = encoder.encode(word);
    return encoder.hasError() ? QByteArray() : bytes;
}

bool SpellDictionary::isCorrect(const QString &word) const
{
#ifdef TALMERO_HAVE_HUNSPELL
    const QByteArray bytes = encoded(word);
    // A word the dictionary's code page cannot even hold is not one of its words.
    if (bytes.isEmpty())
        return false;
    const QMutexLocker lock(&m_mutex);
    return m_hunspell->spell(bytes.toStdString());
#else
    Q_UNUSED(word);
    return true;
#endif
}

QStringList SpellDictionary::suggestions(const QString &word) const
{
    QStringList result;
#ifdef TALMERO_HAVE_HUNSPELL
    const QByteArray bytes = encoded(word);
    if (bytes.isEmpty())
        return result;
    std::vector<std::string> found;
    {
        const QMutexLocker lock(&m_mutex);
        found = m_hunspell->suggest(bytes.toStdString());
    }
    QStringDecoder decoder(m_encoding.isEmpty() ? "UTF-8" : m_encoding.constData());
    for (const std::string &s : found) {
        const QByteArray raw = QByteArray::fromStdString(s);
        result.append(decoder.isValid() ? QString(decoder.decode(raw)) : QString::fromUtf8(raw));
    }
#else
    Q_UNUSED(word);
#endif
    return result;
}

QString SpellDictionary::addWord(const QString &word, bool save)
{
#ifdef TALMERO_HAVE_HUNSPELL
    const QByteArray bytes = encoded(word);
    if (!bytes.isEmpty()) {
        const QMutexLocker lock(&m_mutex);
        m_hunspell->add(bytes.toStdString());
    }
#endif
    if (!save)
        return QString();
    const QString fileName = personalWordsFile();
    const auto failed = [&](const QString &reason) {
        return QStringLiteral("\"%1\" is known until Talmero ends, but it could not be added to "
                              "your word list %2 (%3).")
            .arg(word, nativePath(fileName), reason);
    };
    // Appending to a FIFO would wait for a reader, and to a device would go nowhere.
    if (const QString refusal = OutputTarget::refusal(fileName); !refusal.isEmpty())
        return failed(refusal);
    QDir().mkpath(QFileInfo(fileName).absolutePath());
    QFile words(fileName);
    const QByteArray line = word.toUtf8() + '\n';
    errno = 0;
    if (!words.open(QIODevice::Append) || words.write(line) != line.size() || !words.flush())
        return failed(FileWriting::reason(words, errno));
    return QString();
}
