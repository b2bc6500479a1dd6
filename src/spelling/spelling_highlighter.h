#pragma once

#include "spelling_words.h"

#include <QSyntaxHighlighter>
#include <memory>

class SpellDictionary;

// Underlines the words of a text box that the dictionary does not hold, as word processors do.
class SpellingHighlighter : public QSyntaxHighlighter
{
    Q_OBJECT
public:
    explicit SpellingHighlighter(QTextDocument *document);

    // None: nothing is underlined.
    void setDictionary(std::shared_ptr<SpellDictionary> dictionary);

    // The underline of a misspelled word.
    static QTextCharFormat misspelledFormat();
    // The words of text that dictionary does not hold.
    static QList<SpellingWords::Span> misspelled(const SpellDictionary &dictionary,
                                                 QStringView text);

protected:
    void highlightBlock(const QString &text) override;

private:
    std::shared_ptr<SpellDictionary> m_dictionary;
};
