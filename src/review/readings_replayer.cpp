#include "readings_replayer.h"

#include "platform/app_error.h"
#include "windows/tree_changes.h"

namespace {

// Edits come in bursts (a dialog is several nodes); one replay after the burst is enough.
constexpr int kSettleMs = 150;

} // namespace

ReadingsReplayer::ReadingsReplayer(const DialogTree &tree, QAbstractItemModel *changes,
                                   FileName documentFile, QObject *parent)
    : QObject(parent), m_tree(tree), m_documentFile(std::move(documentFile))
{
    m_pending.setSingleShot(true);
    m_pending.setInterval(kSettleMs);
    connect(&m_pending, &QTimer::timeout, this, &ReadingsReplayer::replayAll);
    m_step.setSingleShot(true);
    m_step.setInterval(0);
    connect(&m_step, &QTimer::timeout, this, &ReadingsReplayer::replayNext);
    connectTreeChanges(changes, this, [this] { treeChanged(); });
}

ReadingsReplayer::~ReadingsReplayer() = default;

QString ReadingsReplayer::dialogFile() const
{
    return m_documentFile();
}

QString ReadingsReplayer::reload()
{
    const QString file = dialogFile();
    if (file != m_loadedFor)
        m_outcomes.clear();
    m_loadedFor = file;
    m_problem.clear();
    m_readings = SavedReadings();
    if (!file.isEmpty()) {
        try {
            m_readings = SavedReadings::load(file);
        } catch (const AppError &e) {
            m_problem = AppError::boxText(e.text());
        }
    }
    emit readingsChanged();
    return m_problem;
}

void ReadingsReplayer::ensureLoaded()
{
    if (dialogFile() != m_loadedFor)
        reload();
}

const ReadingsReplayer::Outcome *ReadingsReplayer::outcome(const QString &name) const
{
    const auto at = m_outcomes.constFind(name);
    return at == m_outcomes.constEnd() || m_queue.contains(name) ? nullptr : &*at;
}

void ReadingsReplayer::setWatching(const QObject *watcher, bool on)
{
    if (on)
        m_watchers.insert(watcher);
    else
        m_watchers.remove(watcher);
}

void ReadingsReplayer::treeChanged()
{
    // The nodes of the last replays may be gone.
    m_replay.reset();
    m_indexed = false;
    for (Outcome &outcome : m_outcomes)
        outcome.differsAt = nullptr;
    if (m_watchers.isEmpty()) {
        m_queue.clear();
        return;
    }
    m_step.stop();
    m_pending.start();
}

void ReadingsReplayer::replayAll()
{
    m_pending.stop();
    ensureLoaded();
    m_queue.clear();
    for (const SavedReading &reading : m_readings.all())
        m_queue.append(reading.name);
    if (m_queue.isEmpty()) {
        emit replayed();
        return;
    }
    // The dialogs by number here, by what they show in the next turn, then one reading a turn.
    if (!m_replay)
        m_replay = std::make_unique<ReadingReplay>(m_tree);
    m_indexed = false;
    m_step.start();
}

void ReadingsReplayer::replayNext()
{
    if (m_queue.isEmpty())
        return;
    if (!m_indexed) {
        m_replay->finder().index();
        m_indexed = true;
        m_step.start();
        return;
    }
    const QString name = m_queue.takeFirst();
    if (const SavedReading *reading = m_readings.find(name))
        replayOne(*reading);
    if (!m_queue.isEmpty())
        m_step.start();
    emit replayed();
}

void ReadingsReplayer::replay(const QString &name)
{
    ensureLoaded();
    m_queue.removeAll(name);
    if (const SavedReading *reading = m_readings.find(name)) {
        replayOne(*reading);
        emit replayed();
    }
}

void ReadingsReplayer::replayOne(const SavedReading &reading)
{
    if (!m_replay)
        m_replay = std::make_unique<ReadingReplay>(m_tree);
    ReadingReplay::Result result = m_replay->replay(reading);
    Outcome outcome;
    outcome.agrees = result.diff.agrees();
    outcome.now = result.lines.text;
    if (!outcome.agrees) {
        // The dialog read when the first differing line was written, or the line before it.
        const auto &rows = result.diff.rows();
        for (int r = result.diff.firstDifference(); r >= 0 && !outcome.differsAt; --r) {
            if (rows[size_t(r)].now >= 0)
                outcome.differsAt = result.lines.dialogs[size_t(rows[size_t(r)].now)];
        }
    }
    outcome.diff = std::make_shared<const TranscriptDiff>(std::move(result.diff));
    m_outcomes.insert(reading.name, outcome);
}

void ReadingsReplayer::put(SavedReading reading)
{
    if (!reload().isEmpty())
        throw AppError(m_problem);
    const QString name = reading.name;
    m_readings.put(std::move(reading));
    m_readings.save();
    emit readingsChanged();
    replay(name);
}

void ReadingsReplayer::accept(const QString &name)
{
    const auto at = m_outcomes.constFind(name);
    if (at == m_outcomes.constEnd())
        return;
    const QStringList now = at->now;
    if (!reload().isEmpty())
        throw AppError(m_problem);
    const SavedReading *saved = m_readings.find(name);
    if (!saved)
        return;
    SavedReading reading = *saved;
    reading.transcript = now;
    put(std::move(reading));
}

void ReadingsReplayer::remove(const QString &name)
{
    if (!reload().isEmpty())
        throw AppError(m_problem);
    if (m_readings.remove(name)) {
        m_readings.save();
        m_outcomes.remove(name);
        emit readingsChanged();
    }
}
