#include "dialog_numbers.h"

#include "action_reference.h"
#include "dialog_tree.h"

#include <limits>

DialogNumbers::DialogNumbers(const DialogTree &tree)
{
    for (int i = 0; i < tree.count(); ++i) {
        const DialogNode *node = tree.nodeAt(i);
        const int number = numberOf(node);
        if (number && !m_dialogs.contains(number))
            m_dialogs.insert(number, node);
        if (node->parent() && node->text().startsWith("Choice = ")) {
            const int choice =
                ActionReference::parseNumber(node->text().mid(9), std::numeric_limits<int>::max());
            if (choice)
                ++m_choices[{node->parent(), choice}];
        }
    }
}

int DialogNumbers::numberOf(const DialogNode *node)
{
    if (!node || !node->text().startsWith("Dialog"))
        return 0;
    return ActionReference::parseNumber(node->text().mid(6), std::numeric_limits<int>::max());
}
