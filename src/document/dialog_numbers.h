#pragma once

#include <QHash>
#include <utility>
#include <vector>

class DialogNode;
class DialogTree;

// Finds dialogs by number in constant time: the first node in pre-order whose text is "Dialog"
// followed by the number. Built once per look at the tree; valid until the tree changes.
class DialogNumbers
{
public:
    explicit DialogNumbers(const DialogTree &tree);

    const DialogNode *find(int number) const
    {
        if (number > 0 && size_t(number) < m_numbered.size())
            return m_numbered[size_t(number)];
        return m_beyond.value(number, nullptr);
    }
    // Whether dialog has a child "Choice = " + choice.
    bool hasChoice(const DialogNode *dialog, int choice) const
    {
        return m_choices.contains({dialog, choice});
    }
    // How many children "Choice = " + choice dialog has.
    int choiceCount(const DialogNode *dialog, int choice) const
    {
        return m_choices.value({dialog, choice}, 0);
    }
    // The number a dialog node's text carries; 0 when the text is no "Dialog" + number.
    static int numberOf(const DialogNode *node);

private:
    // By number; a tree of n nodes numbers its dialogs 1 to at most n. A label renamed in place
    // can carry a larger number until the next renumbering: those few go into the hash.
    std::vector<const DialogNode *> m_numbered;
    QHash<int, const DialogNode *> m_beyond;
    QHash<std::pair<const DialogNode *, int>, int> m_choices;
};
