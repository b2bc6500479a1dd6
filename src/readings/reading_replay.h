#pragma once

#include "dialog_finder.h"
#include "document/reading_lines.h"
#include "saved_reading.h"
#include "transcript_diff.h"

#include <QSet>

class DialogTree;
class ReadThrough;

// Plays readings on one state of a tree: a start with answers given by choice number, as
// talmero-cli play does, and a saved reading, compared with its transcript. The dialogs a
// start names are found again after a renumbering. Valid until the tree changes.
class ReadingReplay
{
public:
    explicit ReadingReplay(const DialogTree &tree);

    // Starts reader at start, then takes answers until one is not offered (the reading stops
    // saying so) or they run out. When start names a dialog or answer that is not there, the
    // reading is only that stop.
    void play(ReadThrough &reader, const ReadingStart &start,
              const QList<QByteArray> &answers) const;

    struct Result
    {
        ReadingLines::Lines lines; // the transcript today
        TranscriptDiff diff;       // from the saved one
    };
    // With visited, the dialogs the replay reaches and the answers (choice nodes) it takes are
    // added to it.
    Result replay(const SavedReading &reading, QSet<const DialogNode *> *visited = nullptr) const;

    const DialogFinder &finder() const { return m_finder; }

private:
    const DialogTree &m_tree;
    DialogFinder m_finder;
};
