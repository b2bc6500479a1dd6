#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

// A configuration file read with the rules of the Windows profile-file functions, which the
// companion panel tool writes for: section and key names match without regard to case, a value
// is the text after the first "=" with blanks trimmed and one pair of enclosing quotation marks
// removed, and a missing file, section or key reads as the caller's default. QSettings follows
// other rules (escapes, comments, its own quoting), so the file is read here.
class IniFile
{
public:
    // Values are cut to this many characters, as the profile functions' buffer does.
    static constexpr int MaxValueLength = 2047;
    static constexpr qint64 MaxFileSize = 1024 * 1024;

    IniFile() = default;
    // Reads the file once; a missing, unreadable or oversized file, or one that is not a
    // regular file, reads as an empty one.
    explicit IniFile(const QString &path);
    static IniFile fromBytes(const QByteArray &bytes);

    QByteArray readString(const QByteArray &section, const QByteArray &key,
                          const QByteArray &defaultValue) const;
    // A decimal number, or hexadecimal after "0x", "0X" or "$"; anything else reads as the
    // default.
    qint32 readInteger(const QByteArray &section, const QByteArray &key, qint32 defaultValue) const;

    // The integer forms readInteger accepts; nothing for any other text.
    static std::optional<qint32> parseInteger(const QByteArray &text);

private:
    struct Entry
    {
        QByteArray key;   // upper case, for matching
        QByteArray value; // trimmed, quotes removed, cut
    };
    struct Section
    {
        QByteArray name; // upper case
        QList<Entry> entries;
    };

    void parse(const QByteArray &bytes);

    // In file order. A name that occurs twice is looked up in its first section only, and a key
    // that occurs twice reads as its first value, as with the profile functions.
    QList<Section> m_sections;
};
