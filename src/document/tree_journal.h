#pragma once

#include <QByteArray>
#include <memory>
#include <unordered_set>
#include <vector>

class DialogNode;
class DialogTree;

// What one edit changed in a DialogTree, change by change, so that the edit can be taken back
// and done again exactly: node texts, bold states, the record values, the numbering and the
// order. Only what changed is kept: a removed subtree is held here, not copied, and the nodes
// keep their identity across undo and redo.
//
// The tree writes into a journal while it is set as the tree's journal (DialogTree::setJournal).
class TreeJournal
{
public:
    explicit TreeJournal(DialogTree &tree);
    ~TreeJournal();
    TreeJournal(const TreeJournal &) = delete;
    TreeJournal &operator=(const TreeJournal &) = delete;

    bool isEmpty() const { return m_changes.empty(); }
    // Makes the gotos and delete actions of the tree name the same dialogs as before this
    // journal's renumbering moved their numbers; an action whose dialog went stays as it is, and
    // so does an action this journal inserted.
    // The rewrite is written into this journal, so it is undone with the edit.
    void followRenumbering();
    // Takes every change back, last first; the tree is as it was before the first one.
    void undo();
    // Does every change again, first first.
    void redo();

private:
    friend class DialogTree;

    struct Record
    {
        qint32 image = 0;
        qint32 selected = 0;
        qint32 state = 0;
        qint32 overlay = 0;
        quint32 data = 0;
    };
    struct Change
    {
        enum Kind { Insert, Remove, Move, Label, Values };
        Kind kind;
        DialogNode *node = nullptr;
        // Insert and Remove: where the node stands in the tree. Move: where it stood before
        // (from) and after (to).
        DialogNode *fromParent = nullptr;
        int fromRow = 0;
        DialogNode *toParent = nullptr;
        int toRow = 0;
        // Label: text and bold state before and after.
        QByteArray oldText;
        QByteArray newText;
        bool oldBold = false;
        bool newBold = false;
        // Values: the record before and after.
        Record oldRecord;
        Record newRecord;
        // The subtree while it is out of the tree.
        std::unique_ptr<DialogNode> detached;
        // Insert: the node was created under a node this journal created too, and goes out and
        // comes back with that one: the view hears of one subtree, not of every node in it.
        bool nested = false;
        // Label: the renumbering pass made it.
        bool numbering = false;
    };

    // A goto or delete action as the journal was made, and the dialog it named then.
    struct Reference
    {
        DialogNode *node = nullptr;
        const DialogNode *target = nullptr;
        QByteArray text;
    };

    void apply(Change &change, bool forward);

    DialogTree &m_tree;
    std::vector<Change> m_changes;
    std::unordered_set<const DialogNode *> m_inserted;
    std::vector<Reference> m_references;
    int m_dialogCountBefore = 0;
    int m_dialogCountAfter = 0;
};
