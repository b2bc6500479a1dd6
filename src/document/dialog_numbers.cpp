#include "dialog_numbers.h"

#include "action_reference.h"
#include "dialog_tree.h"

#include <limits>

DialogNumbers::DialogNumbers(const DialogTree &tree) : m_numbered(size_t(tree.count()) + 1)
{
    for (int i = 0; i < tree.count(); ++i) {
        const DialogNode *node = tree.nodeAt(i);
        // The first node in tree order that carries a number wins.
        if (const int number = numberOf(node); number > 0) {
            if (size_t(number) < m_numbered.size()) {
                if (!m_numbered[size_t(number)])
                    m_numbered[size_t(number)] = node;
            } else if (!m_beyond.contains(number)) {
                m_beyond.insert(number, node);
            }
        }
        if (node->parent() && node->text().startsWith("Choice = ")) {
            const int choice = ActionReference::parseNumber(QByteArrayView(node->text()).sliced(9),
                                                            std::numeric_limits<int>::max());
            if (choice)
                ++m_choices[{node->parent(), choice}];
        }
    }
}

int DialogNumbers::numberOf(const DialogNode *node)
{
    if (!node || !node->text().startsWith("Dialog"))
        return 0;
    return ActionReference::parseNumber(QByteArrayView(node->text()).sliced(6),
                                        std::numeric_limits<int>::max());
}
