#include "dialog_finder.h"

#include "document/dialog_tree.h"
#include "document/node_text.h"
#include "document/reading_lines.h"
#include "reading_start.h"

DialogFinder::DialogFinder(const DialogTree &tree) : m_tree(tree), m_numbers(tree) {}

DialogFinder::~DialogFinder() = default;

const DialogNode *DialogFinder::find(const DialogRef &ref) const
{
    const DialogNode *dialog = findDialog(ref);
    if (!dialog || ref.choice == 0)
        return dialog;
    const QByteArray choice = NodeText::choice(QByteArray::number(ref.choice));
    for (int row = 0; row < dialog->childCount(); ++row) {
        if (dialog->child(row)->text() == choice)
            return dialog->child(row);
    }
    return nullptr;
}

void DialogFinder::index() const
{
    if (m_byFingerprint)
        return;
    m_byFingerprint = std::make_unique<QHash<QString, std::vector<const DialogNode *>>>();
    for (int i = 0; i < m_tree.count(); ++i) {
        const DialogNode *node = m_tree.nodeAt(i);
        if (NodeText::isDialog(node->text()))
            (*m_byFingerprint)[ReadingLines::fingerprint(node)].push_back(node);
    }
}

const DialogNode *DialogFinder::findDialog(const DialogRef &ref) const
{
    const DialogNode *numbered = m_numbers.find(ref.dialog);
    if (numbered && ReadingLines::fingerprint(numbered) == ref.fingerprint)
        return numbered;
    index();
    const auto showing = m_byFingerprint->constFind(ref.fingerprint);
    if (showing != m_byFingerprint->constEnd() && showing->size() == 1)
        return showing->front();
    return numbered;
}
