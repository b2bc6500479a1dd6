#pragma once

#include "spelling_words.h"

#include <QWidget>
#include <functional>
#include <memory>

class QLineEdit;
class QMenu;
class SpellDictionary;

// Spelling in a one-line field, as the text box has it: the misspelled words of the author's
// part of the field's text are underlined, and the field's context menu offers suggestions and
// "Add to dictionary" for the word under the mouse. The field stays a plain line edit; this
// widget lies over it, lets every event through, and draws the underline.
class SpellingField : public QWidget
{
    Q_OBJECT
public:
    // Where the author's words begin in a text; -1 when it holds none (a type, an action).
    using AuthorPart = std::function<qsizetype(const QString &)>;

    SpellingField(QLineEdit *field, AuthorPart authorPart);

    // None: nothing is underlined and the menu is the field's own.
    void setDictionary(std::shared_ptr<SpellDictionary> dictionary);
    // The misspelled words of the field's text.
    QList<SpellingWords::Span> misspelled() const;
    // The field's context menu at pos (in the field), with the suggestions for the word there.
    QMenu *contextMenu(const QPoint &pos);

signals:
    // "Add to dictionary" was chosen for a word.
    void wordAdded(const QString &word);

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The misspelled word at a text position; an empty span when there is none.
    SpellingWords::Span wordAt(qsizetype position) const;

    QLineEdit *m_field;
    AuthorPart m_authorPart;
    std::shared_ptr<SpellDictionary> m_dictionary;
};
