#pragma once

#include <QList>
#include <QObject>
#include <memory>
#include <vector>

class CheckWindow;
class DialogNode;
class MainWindow;
class QActionGroup;
class QMenu;
class QPlainTextEdit;
class QPoint;
class SpellDictionary;
class SpellingField;
class SpellingHighlighter;

// Spelling while writing: misspelled words of the dialog text box, the update field and the
// answer field underlined, suggestions and "Add to dictionary" on right click there and on the
// check window's spelling lines, and Options > "Spelling language" (the installed Hunspell
// dictionaries and None), remembered in the user's settings once the author chooses one. The
// check window asks it for the dictionary of the moment.
class SpellingCommands : public QObject
{
    Q_OBJECT
public:
    SpellingCommands(MainWindow &window, CheckWindow &checkWindow);

    std::shared_ptr<SpellDictionary> dictionary() const { return m_dictionary; }
    QMenu *languageMenu;
    // Empty for None.
    void chooseLanguage(const QString &language);
    // A text box's context menu at pos, with the suggestions for the word there.
    QMenu *contextMenu(QPlainTextEdit *edit, const QPoint &pos);
    // Right click on a misspelled word of edit offers the suggestions and "Add to dictionary".
    void offerSuggestions(QPlainTextEdit *edit);
    // Spelling in another box the author writes dialog texts in (the flow map's editor): the
    // same underlines and suggestions, in the language chosen.
    void attach(QPlainTextEdit *edit);
    // Known from now on, in the personal word list too; every underline and the check follow.
    void addWord(const QString &word);
    // Replaces word with replacement in node's text, one undo step; nothing when node is gone.
    void replaceWord(const DialogNode *node, const QString &word, const QString &replacement);
    // The update field's and the answer field's spelling.
    const QList<SpellingField *> &fields() const { return m_fields; }

signals:
    void languageChanged();

private:
    MainWindow &m_window;
    QActionGroup *m_languages;
    std::vector<SpellingHighlighter *> m_highlighters;
    QList<SpellingField *> m_fields;
    std::shared_ptr<SpellDictionary> m_dictionary;
};
