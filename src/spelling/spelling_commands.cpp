#include "spelling_commands.h"

#include "platform/user_settings.h"
#include "review/check_window.h"
#include "spell_dictionary.h"
#include "spelling_highlighter.h"
#include "spelling_words.h"
#include "windows/main_window.h"

#include <QAction>
#include <QActionGroup>
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
        connect(action, &QAction::triggered, this, [this, language] { chooseLanguage(language); });
    };
    addLanguage(QStringLiteral("None"), QString());
    if (!SpellDictionary::available()) {
        languageMenu->addAction(SpellDictionary::unavailableText())->setEnabled(false);
    } else {
        for (const QString &language : SpellDictionary::installed())
            addLanguage(language, language);
    }

    attach(window.dialogTextEdit);

    checkWindow.setSpelling([this] { return m_dictionary; });
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
    m_dictionary = language.isEmpty() ? nullptr : SpellDictionary::open(language);
    for (QAction *action : m_languages->actions())
        action->setChecked(action->data().toString() == (m_dictionary ? language : QString()));
    for (SpellingHighlighter *highlighter : m_highlighters)
        highlighter->setDictionary(m_dictionary);
    UserSettings::open()->setValue(kSettingKey, m_dictionary ? language : QStringLiteral("None"));
    emit languageChanged();
}

void SpellingCommands::attach(QPlainTextEdit *edit)
{
    auto *highlighter = new SpellingHighlighter(edit->document());
    highlighter->setDictionary(m_dictionary);
    m_highlighters.push_back(highlighter);
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
        QAction *first = menu->actions().value(0);
        QTextCursor cursor(block);
        cursor.setPosition(block.position() + int(span.start));
        cursor.setPosition(block.position() + int(span.start + span.length),
                           QTextCursor::KeepAnchor);
        const QStringList suggestions = m_dictionary->suggestions(word).mid(0, 8);
        for (const QString &suggestion : suggestions) {
            QAction *replace = new QAction(suggestion, menu);
            connect(replace, &QAction::triggered, edit,
                    [cursor, suggestion]() mutable { cursor.insertText(suggestion); });
            menu->insertAction(first, replace);
        }
        if (suggestions.isEmpty()) {
            QAction *none = new QAction(QStringLiteral("(no suggestions)"), menu);
            none->setEnabled(false);
            menu->insertAction(first, none);
        }
        QAction *add = new QAction(QStringLiteral("Add to dictionary"), menu);
        add->setObjectName(QStringLiteral("AddToDictionaryAction"));
        connect(add, &QAction::triggered, this, [this, word] {
            m_dictionary->addWord(word);
            for (SpellingHighlighter *highlighter : m_highlighters)
                highlighter->rehighlight();
            emit languageChanged();
        });
        menu->insertAction(first, add);
        menu->insertSeparator(first);
        break;
    }
    return menu;
}
