#pragma once

#include <QByteArray>
#include <memory>
#include <vector>

class DialogTree;

// One node of the dialog tree: a line of 8-bit text, the four image indices and the data value
// that the file format carries, the bold display state, and the ordered children.
// Nodes are changed only through DialogTree, which keeps the numbering and the views current.
class DialogNode
{
public:
    DialogNode(const DialogNode &) = delete;
    DialogNode &operator=(const DialogNode &) = delete;
    ~DialogNode();
    static void *operator new(std::size_t size);
    static void operator delete(void *place);

    const QByteArray &text() const { return m_text; }
    qint32 imageIndex() const { return m_imageIndex; }
    qint32 selectedIndex() const { return m_selectedIndex; }
    qint32 stateIndex() const { return m_stateIndex; }
    qint32 overlayIndex() const { return m_overlayIndex; }
    quint32 data() const { return m_data; }
    bool isBold() const { return m_bold; }

    // The parent node; none for a top-level node.
    DialogNode *parent() const;
    int childCount() const { return int(m_children.size()); }
    DialogNode *child(int row) const { return m_children[size_t(row)].get(); }
    DialogNode *firstChild() const { return m_children.empty() ? nullptr : child(0); }
    DialogNode *nextSibling() const;
    DialogNode *previousSibling() const;
    // Index among siblings: 0 for a node without a previous sibling.
    int row() const { return m_row; }
    // 0-based position in pre-order over the whole tree.
    int absoluteIndex() const { return m_index; }
    int level() const;
    // True when ancestor is this node or one of its ancestors.
    bool isInSubtreeOf(const DialogNode *ancestor) const;
    // The last node of this node's subtree in pre-order (the node itself when it has no
    // children).
    const DialogNode *lastDescendant() const;
    int subtreeSize() const { return lastDescendant()->m_index - m_index + 1; }

private:
    friend class DialogTree;
    friend class TreeJournal;
    DialogNode() = default;

    // What the text says at a glance, kept in the node so that a pass over a large tree looks at
    // the nodes only, not at every text they point to.
    enum TextKind : quint8 {
        PlainText = 0,
        NumberedText = 1, // renumbered by the pass: begins with "Di"
        RootText = 2,
        ReferenceText = 4, // may name a dialog by number: a goto or delete action
    };
    void assignText(const QByteArray &text);
    bool hasKind(TextKind kind) const { return (m_textKind & kind) != 0; }

    QByteArray m_text;
    qint32 m_imageIndex = 0;
    qint32 m_selectedIndex = 0;
    qint32 m_stateIndex = -1;
    qint32 m_overlayIndex = -1;
    quint32 m_data = 0;
    bool m_bold = false;
    bool m_invisibleRoot = false;
    bool m_doomed = false;
    quint8 m_textKind = PlainText;

    DialogNode *m_parent = nullptr;
    std::vector<std::unique_ptr<DialogNode>> m_children;
    int m_row = 0;
    int m_index = -1;
    // The dialog counter of the renumbering pass right after this node; valid while the node
    // lies in the tree's clean prefix.
    int m_ordinal = 0;
};
