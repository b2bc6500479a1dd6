#include "spelling_highlighter.h"

#include "spell_dictionary.h"

SpellingHighlighter::SpellingHighlighter(QTextDocument *document) : QSyntaxHighlighter(document) {}

void SpellingHighlighter::setDictionary(std::shared_ptr<SpellDictionary> dictionary)
{
    m_dictionary = std::move(dictionary);
    rehighlight();
}

QTextCharFormat SpellingHighlighter::misspelledFormat()
{
    QTextCharFormat format;
    format.setUnderlineStyle(QTextCharFormat::SpellCheckUnderline);
    format.setUnderlineColor(Qt::red);
    return format;
}

QList<SpellingWords::Span> SpellingHighlighter::misspelled(const SpellDictionary &dictionary,
                                                           QStringView text)
{
    QList<SpellingWords::Span> wrong;
    for (const SpellingWords::Span &span : SpellingWords::in(text)) {
        if (!dictionary.isCorrect(text.sliced(span.start, span.length).toString()))
            wrong.append(span);
    }
    return wrong;
}

void SpellingHighlighter::highlightBlock(const QString &text)
{
    if (!m_dictionary)
        return;
    const QTextCharFormat format = misspelledFormat();
    for (const SpellingWords::Span &span : misspelled(*m_dictionary, text))
        setFormat(int(span.start), int(span.length), format);
}
