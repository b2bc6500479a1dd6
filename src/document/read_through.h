#pragma once

#include "dialog_numbers.h"

#include <QByteArray>
#include <QSet>
#include <QString>
#include <memory>
#include <vector>

class DialogNode;
class DialogTree;

// Plays a conversation from Dialog1 the way the editor reads it, without the engine:
// - a text dialog shows its speaker and its text, notes its variable operations and function
//   calls, hides what its delete actions name for the rest of the reading, and jumps where its
//   goto points; without a goto the next dialog at the same level follows;
// - a choice dialog waits for an answer; the answer leads to the first dialog under it, or past
//   the choice dialog when none is there;
// - when the dialogs at one level run out, the reading goes on after the choice dialog that
//   holds them, and ends after the last top-level dialog.
// A reference the check reports stops the reading with the check's finding, and so does a
// dialog reached a second time without an answer or a deletion in between (a goto loop). A
// reading that passes 10,000 dialogs stops with a note.
//
// The reader keeps pointers into the tree: after any change of the tree, call invalidate().
class ReadThrough
{
public:
    enum class State { Ended, Choosing, Stopped };

    struct Entry
    {
        enum Kind {
            Reached, // subject: the dialog's text ("Dialog3")
            Speech,  // subject: the speaker; text: the dialog's text
            Action,  // subject: the action node's text; note: what it does
            Answer,  // subject: the choice number; text: the answer
            Note,    // note
            Stop,    // note: why the reading stopped
            End
        };
        Kind kind;
        QByteArray subject;
        QByteArray text;
        QString note;
    };

    struct Answer
    {
        const DialogNode *choice;
        QByteArray number;
        QByteArray text;
    };

    explicit ReadThrough(const DialogTree &tree);
    ~ReadThrough();

    // Starts again from Dialog1 with nothing hidden, and reads up to the first choice.
    void restart();
    // Takes the answer at index of answers() and reads on up to the next choice.
    void choose(int index);
    // The tree changed: the reading stops with a note, and no node is used any more.
    void invalidate(const QString &why);

    State state() const { return m_state; }
    const std::vector<Entry> &transcript() const { return m_transcript; }
    const std::vector<Answer> &answers() const { return m_answers; }
    // The dialog read last; none before the start and after invalidate().
    const DialogNode *currentDialog() const { return m_current; }

private:
    // Reads dialogs from next on until a choice waits, the end or a stop.
    void readFrom(const DialogNode *next);
    // Reads one text dialog; returns the dialog that follows, or none when the reading stopped.
    const DialogNode *readText(const DialogNode *dialog, bool *stopped);
    bool offerAnswers(const DialogNode *dialog);
    void stop(const QString &why);
    void note(const QString &text);
    // The dialog after node at its level, or after the dialog holding that level.
    static const DialogNode *after(const DialogNode *node);

    const DialogTree &m_tree;
    std::unique_ptr<DialogNumbers> m_numbers;
    State m_state = State::Ended;
    std::vector<Entry> m_transcript;
    std::vector<Answer> m_answers;
    const DialogNode *m_current = nullptr;
    QSet<const DialogNode *> m_hidden; // hashed: looked up at every step
    int m_steps = 0;                   // dialogs passed since the start
};
