#include "spell_dictionary.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QStringEncoder>

#ifdef TALMERO_HAVE_HUNSPELL
#include <hunspell.hxx>
#endif

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

std::shared_ptr<SpellDictionary> SpellDictionary::open(const QString &language)
{
#ifdef TALMERO_HAVE_HUNSPELL
    for (const QString &folder : folders()) {
        const QString base = folder + u'/' + language;
        if (language.isEmpty() || language.contains(u'/') ||
            !QFile::exists(base + QLatin1String(".aff")) ||
            !QFile::exists(base + QLatin1String(".dic")))
            continue;
        std::shared_ptr<SpellDictionary> dictionary(new SpellDictionary);
        dictionary->m_language = language;
        dictionary->m_hunspell =
            std::make_unique<Hunspell>(QFile::encodeName(base + QLatin1String(".aff")).constData(),
                                       QFile::encodeName(base + QLatin1String(".dic")).constData());
        dictionary->m_encoding = QByteArray(dictionary->m_hunspell->get_dict_encoding().c_str());
        QFile words(personalWordsFile());
        if (words.open(QIODevice::ReadOnly)) {
            for (const QByteArray &line : words.readAll().split('\n')) {
                const QString word = QString::fromUtf8(line).trimmed();
                if (!word.isEmpty())
                    dictionary->addWord(word, false);
            }
        }
        return dictionary;
    }
#else
    Q_UNUSED(language);
#endif
    return nullptr;
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

void SpellDictionary::addWord(const QString &word, bool save)
{
#ifdef TALMERO_HAVE_HUNSPELL
    const QByteArray bytes = encoded(word);
    if (!bytes.isEmpty()) {
        const QMutexLocker lock(&m_mutex);
        m_hunspell->add(bytes.toStdString());
    }
#endif
    if (!save)
        return;
    const QString fileName = personalWordsFile();
    QDir().mkpath(QFileInfo(fileName).absolutePath());
    QFile words(fileName);
    if (words.open(QIODevice::Append))
        words.write(word.toUtf8() + '\n');
}
