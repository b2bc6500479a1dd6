#include "dialog_node.h"

#include "action_reference.h"
#include "node_pool.h"
#include "node_text.h"

DialogNode::~DialogNode()
{
    // Children are freed from an explicit list, not by recursion: a deep tree would overflow
    // the stack.
    std::vector<std::unique_ptr<DialogNode>> pending = std::move(m_children);
    while (!pending.empty()) {
        std::unique_ptr<DialogNode> node = std::move(pending.back());
        pending.pop_back();
        for (auto &child : node->m_children)
            pending.push_back(std::move(child));
        node->m_children.clear();
    }
}

void DialogNode::assignText(const QByteArray &text)
{
    m_text = text;
    m_textKind = PlainText;
    if (NodeText::isDialogForNumbering(text))
        m_textKind |= NumberedText;
    if (NodeText::isRoot(text))
        m_textKind |= RootText;
    if (ActionReference::mayName(text))
        m_textKind |= ReferenceText;
}

DialogNode *DialogNode::parent() const
{
    return (m_parent && !m_parent->m_invisibleRoot) ? m_parent : nullptr;
}

DialogNode *DialogNode::nextSibling() const
{
    if (!m_parent || m_row + 1 >= m_parent->childCount())
        return nullptr;
    return m_parent->child(m_row + 1);
}

DialogNode *DialogNode::previousSibling() const
{
    if (!m_parent || m_row == 0)
        return nullptr;
    return m_parent->child(m_row - 1);
}

int DialogNode::level() const
{
    int level = 0;
    for (const DialogNode *p = parent(); p; p = p->parent())
        ++level;
    return level;
}

bool DialogNode::isInSubtreeOf(const DialogNode *ancestor) const
{
    for (const DialogNode *n = this; n; n = n->m_parent) {
        if (n == ancestor)
            return true;
    }
    return false;
}

const DialogNode *DialogNode::lastDescendant() const
{
    const DialogNode *n = this;
    while (!n->m_children.empty())
        n = n->m_children.back().get();
    return n;
}

void *DialogNode::operator new(std::size_t size)
{
    return NodePool::allocate(size);
}

void DialogNode::operator delete(void *place)
{
    NodePool::release(place);
}
