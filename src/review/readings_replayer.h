#pragma once

#include "readings/reading_replay.h"
#include "readings/saved_readings.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <memory>

class DialogTree;
class QAbstractItemModel;

// The saved readings of the open document's file, and what replaying them on the document
// gives. While some view watches them (the read-through's list, the check window), they replay
// shortly after every change of the tree, one reading per turn of the event loop, so that the
// windows stay responsive however many there are.
class ReadingsReplayer : public QObject
{
    Q_OBJECT
public:
    using FileName = std::function<QString()>;

    ReadingsReplayer(const DialogTree &tree, QAbstractItemModel *changes, FileName documentFile,
                     QObject *parent = nullptr);
    ~ReadingsReplayer() override;

    struct Outcome
    {
        bool agrees = true;
        QStringList now; // the transcript today
        std::shared_ptr<const TranscriptDiff> diff;
        const DialogNode *differsAt = nullptr; // the dialog of the first difference, until the
                                               // tree changes
    };

    // Whether the document has a file beside which readings can be kept.
    bool hasFile() const { return !dialogFile().isEmpty(); }
    // Reads the readings of the document's file again; the reason when they cannot be read.
    QString reload();
    // Why the readings could not be read the last time; empty when they could.
    QString problem() const { return m_problem; }
    const SavedReadings &readings() const { return m_readings; }
    // The outcome of the reading's last replay; none before its first, and while it waits to
    // replay after a change.
    const Outcome *outcome(const QString &name) const;
    // Whether replays are waiting or under way.
    bool busy() const { return m_pending.isActive() || !m_queue.isEmpty(); }

    // While any watcher is on, readings replay after every change.
    void setWatching(const QObject *watcher, bool on);
    // Replays every reading, starting at the next turn of the event loop.
    void replayAll();
    // Replays one reading now.
    void replay(const QString &name);

    // Adds or replaces a reading, accepts a reading's transcript of today, or removes one; each
    // rereads the file first and writes it after. Throw AppError.
    void put(SavedReading reading);
    void accept(const QString &name);
    void remove(const QString &name);

signals:
    // Outcomes changed: one reading replayed, or all.
    void replayed();
    // The list of readings changed.
    void readingsChanged();

private:
    void treeChanged();
    void replayNext();
    void replayOne(const SavedReading &reading);
    // The file that keeps the readings of the document; empty when it has none.
    QString dialogFile() const;
    void ensureLoaded();

    const DialogTree &m_tree;
    FileName m_documentFile;
    QString m_loadedFor;
    SavedReadings m_readings;
    QString m_problem;
    QHash<QString, Outcome> m_outcomes;
    QSet<const QObject *> m_watchers;
    QTimer m_pending; // after a burst of edits
    QTimer m_step;    // the next reading of the queue
    QStringList m_queue;
    std::unique_ptr<ReadingReplay> m_replay; // for the tree as it is now
    bool m_indexed = false;                  // its dialogs found by what they show
};
