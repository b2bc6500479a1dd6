#include "spelling_commands.h"

#include "document/node_text.h"
#include "document/text_replacement.h"
#include "platform/ansi.h"
#include "platform/user_settings.h"
#include "review/check_window.h"
#include "spell_dictionary.h"
#include "spelling_field.h"
#include "spelling_highlighter.h"
#include "spelling_menu.h"
#include "spelling_words.h"
#include "windows/main_window.h"
#include "windows/undo_history.h"

#include <QAction>
#include <QActionGroup>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextBlock>

namespace {

const QString kSettingKey = QStringLiteral("Spelling/Language");

} // namespace

SpellingCommands::SpellingCommands(MainWindow &window, CheckWindow &checkWindow)
    : QObject(&window), m_window(window), m_languages(new QActionGroup(this))
{
    setObjectName(QStringLiteral("SpellingCommands"));
    QMenu *options = nullptr;
    for (QObject *object : window.programOptionsAction->associatedObjects()) {
        if (!options)
            options = qobject_cast<QMenu *>(object);
    }
    languageMenu = new QMenu(QStringLiteral("&Spelling language"), &window);
    languageMenu->setObjectName(QStringLiteral("SpellingLanguageMenu"));
    if (options)
        options->addMenu(languageMenu);
    m_languages->setExclusive(true);
    const auto addLanguage = [this](const QString &text, const QString &language) {
        QAction *action = languageMenu->addAction(text);
        action->setCheckable(true);
        action->setData(language);
        m_languages->addAction(action);
        // The author's choice is kept for the next start.
        connect(action, &QAction::triggered, this, [this, language] {
            chooseLanguage(language);
            UserSettings::open()->setValue(kSettingKey,
                                           m_dictionary ? language : QStringLiteral("None"));
        });
    };
    addLanguage(QStringLiteral("None"), QString());
    if (!SpellDictionary::available()) {
        languageMenu->addAction(SpellDictionary::unavailableText())->setEnabled(false);
    } else {
        for (const QString &language : SpellDictionary::installed())
            addLanguage(language, language);
    }

    attach(window.dialogTextEdit);

    // The fields where existing lines are edited: a dialog text in the update field (the words
    // after "Text = "), and an answer.
    const QByteArray authorPrefix = NodeText::text(QByteArray());
    m_fields = {new SpellingField(window.nodeTextField,
                                  [authorPrefix](const QString &text) -> qsizetype {
                                      return text.startsWith(Ansi::toUnicode(authorPrefix))
                                                 ? authorPrefix.size()
                                                 : -1;
                                  }),
                new SpellingField(window.answerTextField, [](const QString &) { return 0; })};
    for (SpellingField *field : m_fields)
        connect(field, &SpellingField::wordAdded, this, &SpellingCommands::addWord);

    checkWindow.setSpelling([this] { return m_dictionary; });
    connect(&checkWindow, &CheckWindow::wordAdded, this, &SpellingCommands::addWord);
    connect(&checkWindow, &CheckWindow::wordReplaced, this, &SpellingCommands::replaceWord);
    connect(this, &SpellingCommands::languageChanged, &checkWindow, [&checkWindow] {
        if (checkWindow.isVisible())
            checkWindow.refresh();
    });

    // The last choice; at first the language of the system, where its dictionary is installed.
    const std::unique_ptr<QSettings> settings = UserSettings::open();
    QString language = settings->value(kSettingKey, QLocale::system().name()).toString();
    if (!SpellDictionary::installed().contains(language))
        language.clear();
    chooseLanguage(language);
}

void SpellingCommands::chooseLanguage(const QString &language)
{
    QString problem;
    m_dictionary = language.isEmpty() ? nullptr : SpellDictionary::open(language, &problem);
    // Said once the window is up: the language is chosen at start-up too.
    if (!problem.isEmpty())
        m_window.tellLater(problem);
    for (QAction *action : m_languages->actions())
        action->setChecked(action->data().toString() == (m_dictionary ? language : QString()));
    for (SpellingHighlighter *highlighter : m_highlighters)
        highlighter->setDictionary(m_dictionary);
    for (SpellingField *field : m_fields)
        field->setDictionary(m_dictionary);
    emit languageChanged();
}

void SpellingCommands::addWord(const QString &word)
{
    if (!m_dictionary)
        return;
    if (const QString problem = m_dictionary->addWord(word); !problem.isEmpty())
        m_window.prompter().message(problem);
    for (SpellingHighlighter *highlighter : m_highlighters)
        highlighter->rehighlight();
    for (SpellingField *field : m_fields)
        field->update();
    emit languageChanged();
}

void SpellingCommands::replaceWord(const DialogNode *node, const QString &word,
                                   const QString &replacement)
{
    DialogTree &tree = m_window.document();
    if (!tree.contains(node) || m_window.prompter().refuseUnrepresentable(replacement))
        return;
    const TextReplacement change(Ansi::fromUnicode(word), Ansi::fromUnicode(replacement), true,
                                 true);
    TextReplacement::Outcome outcome;
    {
        EditStep step(m_window.history(),
                      QStringLiteral("Replace ") + word + QStringLiteral(" with ") + replacement);
        outcome = change.replaceIn(tree, tree.nodeAt(node->absoluteIndex()));
    }
    if (outcome.texts > 0)
        m_window.Modified = true;
}

void SpellingCommands::attach(QPlainTextEdit *edit)
{
    auto *highlighter = new SpellingHighlighter(edit->document());
    highlighter->setDictionary(m_dictionary);
    m_highlighters.push_back(highlighter);
    offerSuggestions(edit);
}

void SpellingCommands::offerSuggestions(QPlainTextEdit *edit)
{
    edit->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(edit, &QWidget::customContextMenuRequested, this, [this, edit](const QPoint &pos) {
        QMenu *menu = contextMenu(edit, pos);
        menu->exec(edit->viewport()->mapToGlobal(pos));
        delete menu;
    });
}

QMenu *SpellingCommands::contextMenu(QPlainTextEdit *edit, const QPoint &pos)
{
    QMenu *menu = edit->createStandardContextMenu(pos);
    if (!m_dictionary)
        return menu;
    const QTextCursor at = edit->cursorForPosition(pos);
    const QTextBlock block = at.block();
    const qsizetype offset = at.position() - block.position();
    for (const SpellingWords::Span &span : SpellingWords::in(block.text())) {
        if (offset < span.start || offset > span.start + span.length)
            continue;
        const QString word = block.text().mid(span.start, span.length);
        if (m_dictionary->isCorrect(word))
            break;
        QTextCursor cursor(block);
        cursor.setPosition(block.position() + int(span.start));
        cursor.setPosition(block.position() + int(span.start + span.length),
                           QTextCursor::KeepAnchor);
        SpellingMenu::addWordItems(
            menu, menu->actions().value(0), *m_dictionary, word,
            [cursor](const QString &suggestion) mutable { cursor.insertText(suggestion); },
            [this, word] { addWord(word); });
        break;
    }
    return menu;
}
