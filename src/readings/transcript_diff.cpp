#include "transcript_diff.h"

#include "document/reading_lines.h"

#include <algorithm>

namespace {

// Transcripts that differ in more lines than these allow are aligned line by line without
// looking for inserted and removed runs: the search keeps a frontier per edit, so its memory
// grows with the square of the edits, and its time with the edits times the lines.
constexpr int kMostEdits = 1000;
constexpr qint64 kMostWork = 4'000'000;

QStringList comparable(const QStringList &lines)
{
    QStringList keys;
    keys.reserve(lines.size());
    for (const QString &line : lines)
        keys.append(ReadingLines::comparable(line));
    return keys;
}

} // namespace

TranscriptDiff::TranscriptDiff(const QStringList &saved, const QStringList &now)
    : m_saved(saved), m_now(now)
{
    if (saved == now)
        return;
    const QStringList savedKeys = comparable(saved);
    const QStringList nowKeys = comparable(now);
    if (savedKeys == nowKeys)
        return;
    m_agrees = false;
    align(savedKeys, nowKeys);
}

void TranscriptDiff::align(const QStringList &savedKeys, const QStringList &nowKeys)
{
    const int savedCount = int(savedKeys.size());
    const int nowCount = int(nowKeys.size());
    int head = 0;
    while (head < savedCount && head < nowCount && savedKeys[head] == nowKeys[head])
        ++head;
    int tail = 0;
    while (tail < savedCount - head && tail < nowCount - head &&
           savedKeys[savedCount - 1 - tail] == nowKeys[nowCount - 1 - tail])
        ++tail;
    for (int i = 0; i < head; ++i)
        m_rows.push_back({Row::Same, i, i});

    // The middle parts aligned by the shortest edit script (Myers), as long as it is short;
    // past that, line by line when both are equally long, else replaced whole.
    const int a = savedCount - head - tail;
    const int b = nowCount - head - tail;
    const auto same = [&](int i, int j) { return savedKeys[head + i] == nowKeys[head + j]; };
    const int offset = a + b + 1;
    std::vector<int> frontier(size_t(2 * offset + 1), 0);
    std::vector<std::vector<int>> trace; // the frontier before each round, from -d to d
    bool found = false;
    const int most = int(std::min<qint64>({a + b, kMostEdits, kMostWork / std::max(1, a + b)}));
    for (int d = 0; d <= most && !found; ++d) {
        trace.emplace_back(frontier.begin() + (offset - d), frontier.begin() + (offset + d + 1));
        for (int k = -d; k <= d && !found; k += 2) {
            int x = (k == -d || (k != d && frontier[size_t(offset + k - 1)] <
                                               frontier[size_t(offset + k + 1)]))
                        ? frontier[size_t(offset + k + 1)]
                        : frontier[size_t(offset + k - 1)] + 1;
            int y = x - k;
            while (x < a && y < b && same(x, y)) {
                ++x;
                ++y;
            }
            frontier[size_t(offset + k)] = x;
            found = x >= a && y >= b;
        }
    }
    std::vector<Row> middle;
    if (found) {
        // Back from the end: per round, the run of equal lines, then the one edit before it.
        int x = a;
        int y = b;
        for (int d = int(trace.size()) - 1; d > 0; --d) {
            const std::vector<int> &before = trace[size_t(d)];
            const auto reach = [&before, d](int k) { return before[size_t(k + d)]; };
            const int k = x - y;
            const int from = (k == -d || (k != d && reach(k - 1) < reach(k + 1))) ? k + 1 : k - 1;
            const int fromX = reach(from);
            const int fromY = fromX - from;
            while (x > fromX && y > fromY)
                middle.push_back({Row::Same, head + --x, head + --y});
            if (x == fromX)
                middle.push_back({Row::Now, -1, head + --y});
            else
                middle.push_back({Row::Saved, head + --x, -1});
        }
        while (x > 0 && y > 0)
            middle.push_back({Row::Same, head + --x, head + --y});
        std::reverse(middle.begin(), middle.end());
    } else if (a == b) {
        for (int i = 0; i < a; ++i) {
            if (same(i, i)) {
                middle.push_back({Row::Same, head + i, head + i});
            } else {
                middle.push_back({Row::Saved, head + i, -1});
                middle.push_back({Row::Now, -1, head + i});
            }
        }
    } else {
        for (int i = 0; i < a; ++i)
            middle.push_back({Row::Saved, head + i, -1});
        for (int j = 0; j < b; ++j)
            middle.push_back({Row::Now, -1, head + j});
    }
    m_rows.insert(m_rows.end(), middle.begin(), middle.end());
    for (int k = tail; k > 0; --k)
        m_rows.push_back({Row::Same, savedCount - k, nowCount - k});
}

int TranscriptDiff::firstDifference() const
{
    for (size_t r = 0; r < m_rows.size(); ++r) {
        if (m_rows[r].kind != Row::Same)
            return int(r);
    }
    return -1;
}

QString TranscriptDiff::firstDifferenceText() const
{
    const int first = firstDifference();
    if (first < 0)
        return QString();
    const Row &row = m_rows[size_t(first)];
    const auto quoted = [](const QString &line) { return u'"' + line.trimmed() + u'"'; };
    if (row.kind == Row::Now)
        return quoted(m_now[row.now]) + QStringLiteral(" is new");
    const size_t next = size_t(first) + 1;
    if (next < m_rows.size() && m_rows[next].kind == Row::Now)
        return quoted(m_saved[row.saved]) + QStringLiteral(" is now ") +
               quoted(m_now[m_rows[next].now]);
    return quoted(m_saved[row.saved]) + QStringLiteral(" is gone");
}

QString TranscriptDiff::unified(const QString &name, int context) const
{
    if (m_agrees)
        return QString();
    QString text = QStringLiteral("--- %1 (saved)\n+++ %1 (now)\n").arg(name);
    const int count = int(m_rows.size());
    int r = 0;
    while (r < count) {
        if (m_rows[size_t(r)].kind == Row::Same) {
            ++r;
            continue;
        }
        // A hunk: the changes from here on that lie within twice the context of each other.
        const int first = std::max(0, r - context);
        int last = r;
        for (int k = r; k < count && k <= last + 2 * context; ++k) {
            if (m_rows[size_t(k)].kind != Row::Same)
                last = k;
        }
        const int end = std::min(count, last + context + 1);
        int savedStart = -1;
        int nowStart = -1;
        int savedLines = 0;
        int nowLines = 0;
        QString body;
        for (int k = first; k < end; ++k) {
            const Row &row = m_rows[size_t(k)];
            if (row.saved >= 0) {
                if (savedStart < 0)
                    savedStart = row.saved;
                ++savedLines;
            }
            if (row.now >= 0) {
                if (nowStart < 0)
                    nowStart = row.now;
                ++nowLines;
            }
            switch (row.kind) {
            case Row::Same:
                body += u' ' + m_now[row.now] + u'\n';
                break;
            case Row::Saved:
                body += u'-' + m_saved[row.saved] + u'\n';
                break;
            case Row::Now:
                body += u'+' + m_now[row.now] + u'\n';
                break;
            }
        }
        // An empty side names the line before it, as diff does.
        const auto range = [](int start, int lines, int before) {
            if (lines == 0)
                return QStringLiteral("%1,0").arg(before);
            return lines == 1 ? QString::number(start + 1)
                              : QStringLiteral("%1,%2").arg(start + 1).arg(lines);
        };
        const auto before = [this, first](bool saved) {
            for (int k = first - 1; k >= 0; --k) {
                const int line = saved ? m_rows[size_t(k)].saved : m_rows[size_t(k)].now;
                if (line >= 0)
                    return line + 1;
            }
            return 0;
        };
        text += QStringLiteral("@@ -%1 +%2 @@\n")
                    .arg(range(savedStart, savedLines, before(true)),
                         range(nowStart, nowLines, before(false)));
        text += body;
        r = end;
    }
    return text;
}
