#pragma once

#include <QObject>
#include <memory>
#include <vector>

class CheckWindow;
class MainWindow;
class QActionGroup;
class QMenu;
class QPlainTextEdit;
class QPoint;
class SpellDictionary;
class SpellingHighlighter;

// Spelling while writing: misspelled words of the dialog text box underlined, suggestions and
// "Add to dictionary" on right click, and Options > "Spelling language" (the installed Hunspell
// dictionaries and None), remembered in the user's settings. The check window asks it for the
// dictionary of the moment.
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
    // Spelling in another box the author writes dialog texts in (the flow map's editor): the
    // same underlines and suggestions, in the language chosen.
    void attach(QPlainTextEdit *edit);

signals:
    void languageChanged();

private:
    MainWindow &m_window;
    QActionGroup *m_languages;
    std::vector<SpellingHighlighter *> m_highlighters;
    std::shared_ptr<SpellDictionary> m_dictionary;
};
