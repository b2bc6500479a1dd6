#pragma once

#include "dialog_numbers.h"
#include "game_state.h"

#include <QByteArray>
#include <QString>
#include <memory>
#include <vector>

class DialogNode;
class DialogTree;

// Plays a conversation the way the editor reads it, without the engine, from Dialog1 or from
// any dialog with a start state:
// - a text dialog shows its speaker and its text, sets the variables of its Set actions, calls
//   the functions of its Call actions, removes what its delete actions name for the rest of the
//   reading, and jumps where its goto points; without a goto the next dialog at the same level
//   follows;
// - a choice dialog waits for an answer; the answer leads to the first dialog under it, or past
//   the choice dialog when none is there;
// - when the dialogs at one level run out, the reading goes on after the choice dialog that
//   holds them, and ends after the last top-level dialog.
// A reference the check reports stops the reading with the check's finding, and so does a
// dialog reached a second time without an answer or a deletion in between (a goto loop). A
// reading that passes 10,000 dialogs stops too.
//
// The reader keeps pointers into the tree: after any change of the tree, call invalidate().
class ReadThrough
{
public:
    enum class State { Ended, Choosing, Stopped };

    struct Entry
    {
        enum Kind {
            Said,   // label: the text dialog; subject: the speaker; text: the dialog's text
            Choice, // label: the choice dialog
            Offer,  // subject: the choice number of an answer offered; text: the answer
            Answer, // subject: the choice number taken; text: the answer
            Action, // subject: the action node's text; text: what it did
            Note,   // note: what the reading passed over, for the window
            Stop,   // note: why the reading stopped
            End
        };
        Kind kind;
        QByteArray label;
        QByteArray subject;
        QByteArray text;
        QString note;
        const DialogNode *dialog = nullptr; // the dialog read when this was written
    };

    struct Answer
    {
        const DialogNode *choice;
        QByteArray number;
        QByteArray text;
    };

    // With numbers, the dialogs are found through them, which must stay valid while the reader
    // reads; without, the reader numbers the tree at each start.
    explicit ReadThrough(const DialogTree &tree, const DialogNumbers *numbers = nullptr);
    ~ReadThrough();

    // Starts again from Dialog1 with nothing set or removed, and reads up to the first choice.
    void restart();
    // Starts at from (none: Dialog1) with state as the game's state, and reads up to the first
    // choice. The reach counts of state are not kept.
    void start(const DialogNode *from, GameState state);
    // Takes the answer at index of answers() and reads on up to the next choice.
    void choose(int index);
    // Takes the answer with this choice number; when no answer offered has it, or no choice
    // waits, the reading stops saying so and false is returned.
    bool chooseNumber(const QByteArray &number);
    // Stops the reading with why.
    void stop(const QString &why);
    // Forgets the reading: no transcript, nothing set, nothing offered.
    void clear();
    // The tree changed: the reading stops with a note, and no node is used any more.
    void invalidate(const QString &why);

    State state() const { return m_state; }
    const std::vector<Entry> &transcript() const { return m_transcript; }
    const std::vector<Answer> &answers() const { return m_answers; }
    const GameState &game() const { return m_game; }
    // The dialog read last; none before the start and after invalidate().
    const DialogNode *currentDialog() const { return m_current; }
    // The answers taken since the start.
    const std::vector<Answer> &answersTaken() const { return m_taken; }

private:
    // Reads dialogs from next on until a choice waits, the end or a stop.
    void readFrom(const DialogNode *next);
    // Reads one text dialog; returns the dialog that follows, or none when the reading stopped.
    const DialogNode *readText(const DialogNode *dialog, bool *stopped);
    bool offerAnswers(const DialogNode *dialog);
    void note(const QString &text);
    void push(Entry::Kind kind, const QByteArray &subject, const QByteArray &text);
    // The dialog after node at its level, or after the dialog holding that level.
    static const DialogNode *after(const DialogNode *node);

    const DialogTree &m_tree;
    const DialogNumbers *m_shared;
    std::unique_ptr<DialogNumbers> m_own;
    const DialogNumbers *m_numbers = nullptr;
    State m_state = State::Ended;
    std::vector<Entry> m_transcript;
    std::vector<Answer> m_answers;
    const DialogNode *m_current = nullptr;
    GameState m_game;
    std::vector<Answer> m_taken;
    int m_steps = 0; // dialogs passed since the start
};
