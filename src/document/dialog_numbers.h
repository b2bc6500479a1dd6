#pragma once

#include <QHash>
#include <QSet>
#include <utility>

class DialogNode;
class DialogTree;

// Finds dialogs by number in constant time: the first node in pre-order whose text is "Dialog"
// followed by the number. Built once per look at the tree; valid until the tree changes.
class DialogNumbers
{
public:
    explicit DialogNumbers(const DialogTree &tree);

    const DialogNode *find(int number) const { return m_dialogs.value(number, nullptr); }
    // Whether dialog has a child "Choice = " + choice.
    bool hasChoice(const DialogNode *dialog, int choice) const
    {
        return m_choices.contains({dialog, choice});
    }
    // The number a dialog node's text carries; 0 when the text is no "Dialog" + number.
    static int numberOf(const DialogNode *node);

private:
    QHash<int, const DialogNode *> m_dialogs;
    QSet<std::pair<const DialogNode *, int>> m_choices;
};
