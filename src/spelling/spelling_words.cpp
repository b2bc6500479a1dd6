#include "spelling_words.h"

namespace {

bool isApostrophe(QChar c)
{
    return c == u'\'' || c == QChar(0x2019);
}

bool isNameCharacter(QChar c)
{
    return c.isDigit() || c == u'_';
}

} // namespace

namespace SpellingWords {

QList<Span> in(QStringView text)
{
    QList<Span> words;
    qsizetype i = 0;
    while (i < text.size()) {
        if (!text[i].isLetter()) {
            ++i;
            continue;
        }
        const qsizetype start = i;
        while (i < text.size() &&
               (text[i].isLetter() || text[i].isMark() ||
                (isApostrophe(text[i]) && i + 1 < text.size() && text[i + 1].isLetter())))
            ++i;
        const bool name = (start > 0 && isNameCharacter(text[start - 1])) ||
                          (i < text.size() && isNameCharacter(text[i]));
        if (name) {
            while (i < text.size() && (text[i].isLetterOrNumber() || text[i] == u'_'))
                ++i;
            continue;
        }
        words.append({start, i - start});
    }
    return words;
}

} // namespace SpellingWords
