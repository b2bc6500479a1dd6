#include "spelling_menu.h"

#include "spell_dictionary.h"

#include <QMenu>

namespace {

// A word's menu offers this many suggestions at most.
constexpr int kSuggestions = 8;

} // namespace

namespace SpellingMenu {

void addWordItems(QMenu *menu, QAction *before, const SpellDictionary &dictionary,
                  const QString &word, const std::function<void(const QString &)> &replace,
                  const std::function<void()> &add)
{
    const QStringList suggestions = dictionary.suggestions(word).mid(0, kSuggestions);
    for (const QString &suggestion : suggestions) {
        auto *item = new QAction(suggestion, menu);
        QObject::connect(item, &QAction::triggered, menu,
                         [replace, suggestion] { replace(suggestion); });
        menu->insertAction(before, item);
    }
    if (suggestions.isEmpty()) {
        auto *none = new QAction(QStringLiteral("(no suggestions)"), menu);
        none->setEnabled(false);
        menu->insertAction(before, none);
    }
    auto *adding = new QAction(QStringLiteral("Add to dictionary"), menu);
    adding->setObjectName(QStringLiteral("AddToDictionaryAction"));
    QObject::connect(adding, &QAction::triggered, menu, [add] { add(); });
    menu->insertAction(before, adding);
    menu->insertSeparator(before);
}

} // namespace SpellingMenu
