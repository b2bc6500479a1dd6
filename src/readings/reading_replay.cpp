#include "reading_replay.h"

#include "document/game_state.h"
#include "document/read_through.h"

ReadingReplay::ReadingReplay(const DialogTree &tree) : m_tree(tree), m_finder(tree) {}

void ReadingReplay::play(ReadThrough &reader, const ReadingStart &start,
                         const QList<QByteArray> &answers) const
{
    const ReadingStart::Resolved resolved = start.resolve(m_finder);
    if (!resolved.problem.isEmpty()) {
        reader.clear();
        reader.stop(resolved.problem);
        return;
    }
    reader.start(resolved.from, start.state(resolved));
    for (const QByteArray &answer : answers) {
        if (!reader.chooseNumber(answer))
            return;
    }
}

ReadingReplay::Result ReadingReplay::replay(const SavedReading &reading,
                                            QSet<const DialogNode *> *visited) const
{
    ReadThrough reader(m_tree, &m_finder.numbers());
    play(reader, reading.start, reading.answers);
    if (visited) {
        for (const GameState::Reach &reach : reader.game().reached())
            visited->insert(reach.dialog);
        for (const ReadThrough::Answer &answer : reader.answersTaken())
            visited->insert(answer.choice);
    }
    ReadingLines::Lines lines = ReadingLines::lines(reader);
    TranscriptDiff diff(reading.transcript, lines.text);
    return {std::move(lines), std::move(diff)};
}
