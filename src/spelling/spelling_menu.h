#pragma once

#include <QString>
#include <functional>

class QAction;
class QMenu;
class SpellDictionary;

// The items a misspelled word adds to a context menu, wherever the word stands: the
// dictionary's suggestions, "Add to dictionary", and a separator from the menu's own items.
namespace SpellingMenu {

// Inserts the items before `before` (none: at the end). A suggestion calls replace with itself;
// "Add to dictionary" calls add.
void addWordItems(QMenu *menu, QAction *before, const SpellDictionary &dictionary,
                  const QString &word, const std::function<void(const QString &)> &replace,
                  const std::function<void()> &add);

} // namespace SpellingMenu
