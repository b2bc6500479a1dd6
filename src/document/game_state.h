#pragma once

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <vector>

class DialogNode;

// What a reading has built so far, as the game would have it: the variables its Set actions
// set, the functions its Call actions called, the dialogs and answers its Delete actions
// removed, and how often each dialog was reached. A start state is the same thing before the
// first dialog. It keeps pointers into the tree: valid until the tree changes.
class GameState
{
public:
    struct Variable
    {
        QByteArray type;
        QByteArray name;
        QByteArray value;
        const DialogNode *setBy = nullptr; // the dialog that set it last; none: the start state
    };
    struct Call
    {
        QByteArray call; // as written after "Call = ": the function, then its parameters
        const DialogNode *by = nullptr;

        QByteArray function() const;
        QList<QByteArray> parameters() const;
        // "OpenDoor(1, 2)".
        QByteArray shown() const;
    };
    struct Reach
    {
        const DialogNode *dialog;
        int count;
    };

    void set(const QByteArray &type, const QByteArray &name, const QByteArray &value,
             const DialogNode *by);
    void call(const QByteArray &call, const DialogNode *by);
    // A dialog node, or a choice node for one answer.
    void remove(const DialogNode *node);
    bool isRemoved(const DialogNode *node) const { return m_removedSet.contains(node); }
    void reach(const DialogNode *dialog);
    int reachCount(const DialogNode *dialog) const;

    // In the order each was first set, called, removed or reached.
    const std::vector<Variable> &variables() const { return m_variables; }
    const std::vector<Call> &calls() const { return m_calls; }
    const std::vector<const DialogNode *> &removed() const { return m_removed; }
    const std::vector<Reach> &reached() const { return m_reached; }

    // "Dialog4", or "choice 2 of Dialog3" for an answer.
    static QString removedName(const DialogNode *node);
    // The state as lines: "Set Short gold = 5", "Call = OpenDoor, 1", "Removed Dialog4",
    // "Removed choice 2 of Dialog3".
    QStringList lines() const;

private:
    std::vector<Variable> m_variables;
    QHash<QByteArray, size_t> m_variableAt;
    std::vector<Call> m_calls;
    std::vector<const DialogNode *> m_removed;
    QSet<const DialogNode *> m_removedSet; // hashed: looked up at every step
    std::vector<Reach> m_reached;
    QHash<const DialogNode *, size_t> m_reachAt;
};
