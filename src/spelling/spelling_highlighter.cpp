#include "spelling_highlighter.h"

#include "spell_dictionary.h"
#include "spelling_words.h"

SpellingHighlighter::SpellingHighlighter(QTextDocument *document) : QSyntaxHighlighter(document) {}

void SpellingHighlighter::setDictionary(std::shared_ptr<SpellDictionary> dictionary)
{
    m_dictionary = std::move(dictionary);
    rehighlight();
}

void SpellingHighlighter::highlightBlock(const QString &text)
{
    if (!m_dictionary)
        return;
    QTextCharFormat misspelled;
    misspelled.setUnderlineStyle(QTextCharFormat::SpellCheckUnderline);
    misspelled.setUnderlineColor(Qt::red);
    for (const SpellingWords::Span &span : SpellingWords::in(text)) {
        if (!m_dictionary->isCorrect(text.mid(span.start, span.length)))
            setFormat(int(span.start), int(span.length), misspelled);
    }
}
