#pragma once

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

protected:
    void highlightBlock(const QString &text) override;

private:
    std::shared_ptr<SpellDictionary> m_dictionary;
};
