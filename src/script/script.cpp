#include "script.h"

#include "document/dialog_check.h"
#include "document/node_text.h"

QString actionLineProblem(const QByteArray &text)
{
    static const QByteArray dialog = NodeText::dialog(1);
    static const QByteArray type = NodeText::typeText();
    return DialogCheck::misfit(&dialog, &type, 3, text);
}

QHash<int, int> Script::carriers() const
{
    QHash<int, int> first;
    for (size_t e = 0; e < entries.size(); ++e) {
        if (entries[e].label > 0 && !first.contains(entries[e].label))
            first.insert(entries[e].label, int(e));
    }
    return first;
}

std::vector<int> Script::entryOfNodes() const
{
    std::vector<int> owner(size_t(nodeCount), -1);
    for (size_t e = 0; e < entries.size(); ++e) {
        const int first = entries[e].firstNode;
        for (int k = 0; k < nodesOf(e); ++k)
            owner[size_t(first + k)] = int(e);
    }
    return owner;
}

QByteArray Script::text() const
{
    qsizetype size = 0;
    for (const ScriptEntry &entry : entries)
        size += entry.text.size() + 1;
    QByteArray all;
    all.reserve(size);
    for (const ScriptEntry &entry : entries) {
        all += entry.text;
        all += '\n';
    }
    return all;
}
