#pragma once

#include <QString>
#include <QStringList>
#include <vector>

// How a saved transcript and the one a replay gives now differ, line by line, on what the
// player sees and the game gets: lines are compared in ReadingLines::comparable form, so that
// a renumbering alone never makes them differ.
class TranscriptDiff
{
public:
    struct Row
    {
        enum Kind { Same, Saved, Now } kind; // in both, only in the saved one, only now
        int saved = -1;                      // line of the saved transcript; -1 for Now
        int now = -1;                        // line of today's; -1 for Saved
    };

    TranscriptDiff(const QStringList &saved, const QStringList &now);

    bool agrees() const { return m_agrees; }
    // Both transcripts aligned; empty when they agree.
    const std::vector<Row> &rows() const { return m_rows; }
    // The first row that is not Same; -1 when they agree.
    int firstDifference() const;
    // The first difference in words: "\"Player: Hi.\" is now \"Player: Hello.\"", "... is
    // gone", "... is new"; empty when they agree.
    QString firstDifferenceText() const;
    // A unified diff, "--- name (saved)", "+++ name (now)" and hunks with context lines around
    // each change; the lines as they stand, labels and all.
    QString unified(const QString &name, int context = 3) const;

private:
    void align(const QStringList &savedKeys, const QStringList &nowKeys);

    QStringList m_saved;
    QStringList m_now;
    bool m_agrees = true;
    std::vector<Row> m_rows;
};
