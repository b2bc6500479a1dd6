#pragma once

#include <QMutex>
#include <QString>
#include <QStringList>
#include <memory>

class Hunspell;

// One Hunspell dictionary, with the author's own words added. Safe to use from several threads:
// the check runs beside the editor.
class SpellDictionary
{
public:
    ~SpellDictionary();

    // Whether this build checks spelling at all (the Windows cross build has no Hunspell).
    static bool available();
    static QString unavailableText();
    // The languages of the dictionaries installed (en_US, de_DE, ...), sorted.
    static QStringList installed();
    // The folders searched for NAME.aff and NAME.dic.
    static QStringList folders();
    // Nothing when no such dictionary is installed or it cannot be loaded. *problem (when given)
    // says why it could not, or what of the personal word list could not be read beside a
    // dictionary that did; empty when all went well.
    static std::shared_ptr<SpellDictionary> open(const QString &language,
                                                 QString *problem = nullptr);
    // As open, from these files. Files that are not regular, or larger than any dictionary,
    // are refused before Hunspell sees them, and a dictionary Hunspell cannot load (a broken
    // affix file that asks for more memory than there is) is refused, not a crash.
    static std::shared_ptr<SpellDictionary> load(const QString &affixFile, const QString &wordFile,
                                                 const QString &language, QString *problem);

    // The author's word list, one word a line, in the user's data folder.
    static QString personalWordsFile();

    QString language() const { return m_language; }
    bool isCorrect(const QString &word) const;
    QStringList suggestions(const QString &word) const;
    // Known from now on; saved to the personal word list when save is true. Returns why the
    // word could not be saved (the list is no regular file, the disk is full); empty when it
    // was, or need not be.
    QString addWord(const QString &word, bool save = true);

private:
    SpellDictionary() = default;
    QByteArray encoded(const QString &word) const;

    QString m_language;
    QByteArray m_encoding;
    mutable QMutex m_mutex;
#ifdef TALMERO_HAVE_HUNSPELL
    std::unique_ptr<Hunspell> m_hunspell;
#endif
};
