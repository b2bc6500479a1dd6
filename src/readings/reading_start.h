#pragma once

#include "document/variable_operation.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

class DialogNode;
class DialogNumbers;
class DialogTree;
class DialogFinder;
class GameState;

// A dialog, or one answer of a choice dialog, named so that a renumbering does not lose it: its
// number when it was named, and what it showed then (ReadingLines::fingerprint).
struct DialogRef
{
    int dialog = 0;
    int choice = 0; // 0: the dialog itself
    QString fingerprint;

    bool operator==(const DialogRef &) const = default;

    // "Dialog4 Player: Hello." or "choice 2 of Dialog3 choice: 1. Yes / 2. No".
    QString text() const;
    // none when text is not of that form.
    static std::optional<DialogRef> parse(const QString &text);
    // The dialog node (or choice node) with its fingerprint.
    static DialogRef of(const DialogNode *node);
};

// Where a reading starts and the state it starts with: the variables set and the dialogs and
// answers removed before its first dialog.
struct ReadingStart
{
    std::optional<DialogRef> from; // none: Dialog1
    std::vector<VariableOperation> variables;
    std::vector<DialogRef> removed;

    bool operator==(const ReadingStart &) const = default;

    // The start state as the author types it, one line each: "Set Short gold = 5" (or without
    // "Set "), "Delete = 4" for a dialog and "Delete = 2 from 3" for an answer. Types and values
    // are checked as the Set action checks them; the dialogs must exist in tree. Returns the
    // refusal the author is told, empty when every line was taken.
    QString takeLines(const QString &text, const DialogTree &tree);
    // The start state in the form takeLines reads.
    QString lines() const;

    // The state the reading starts with, its nodes found through finder; the refusal when a
    // dialog or answer it names is not there.
    struct Resolved
    {
        const DialogNode *from = nullptr; // none: Dialog1
        std::vector<const DialogNode *> removed;
        QString problem;
    };
    Resolved resolve(const DialogFinder &finder) const;
    // resolved as the game state the reader starts with.
    GameState state(const Resolved &resolved) const;
};
