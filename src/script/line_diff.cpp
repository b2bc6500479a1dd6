#include "line_diff.h"

#include <algorithm>

namespace {

constexpr int kMostDifferences = 1000;

} // namespace

namespace LineDiff {

std::vector<int> match(const std::vector<int> &before, const std::vector<int> &after)
{
    std::vector<int> result(after.size(), -1);
    size_t prefix = 0;
    while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix]) {
        result[prefix] = int(prefix);
        ++prefix;
    }
    size_t suffix = 0;
    while (suffix < before.size() - prefix && suffix < after.size() - prefix &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix]) {
        result[after.size() - 1 - suffix] = int(before.size() - 1 - suffix);
        ++suffix;
    }
    const int n = int(before.size() - prefix - suffix);
    const int m = int(after.size() - prefix - suffix);
    if (n == 0 || m == 0)
        return result;
    const auto a = [&](int x) { return before[prefix + size_t(x)]; };
    const auto b = [&](int y) { return after[prefix + size_t(y)]; };

    // The furthest x on each diagonal k = x - y, and its state before each round d.
    const int most = std::min(n + m, kMostDifferences);
    std::vector<int> furthest(size_t(2 * most + 3), 0);
    const int offset = most + 1;
    std::vector<std::vector<int>> rounds;
    int last = -1;
    for (int d = 0; d <= most && last < 0; ++d) {
        rounds.emplace_back(furthest.begin() + (offset - d), furthest.begin() + (offset + d + 1));
        for (int k = -d; k <= d; k += 2) {
            const bool down = k == -d || (k != d && furthest[size_t(offset + k - 1)] <
                                                        furthest[size_t(offset + k + 1)]);
            int x = down ? furthest[size_t(offset + k + 1)] : furthest[size_t(offset + k - 1)] + 1;
            int y = x - k;
            while (x < n && y < m && a(x) == b(y)) {
                ++x;
                ++y;
            }
            furthest[size_t(offset + k)] = x;
            if (x >= n && y >= m) {
                last = d;
                break;
            }
        }
    }
    if (last < 0)
        return result;

    // Back from the end, round by round: each round ends in a run of matched lines.
    int x = n;
    int y = m;
    const auto keep = [&](int toX) {
        while (x > toX) {
            --x;
            --y;
            result[prefix + size_t(y)] = int(prefix) + x;
        }
    };
    for (int d = last; d > 0; --d) {
        const std::vector<int> &v = rounds[size_t(d)];
        const auto at = [&](int k) { return v[size_t(k + d)]; };
        const int k = x - y;
        const bool down = k == -d || (k != d && at(k - 1) < at(k + 1));
        const int previousK = down ? k + 1 : k - 1;
        const int previousX = at(previousK);
        keep(down ? previousX : previousX + 1);
        x = previousX;
        y = previousX - previousK;
    }
    keep(0);
    return result;
}

std::vector<Hunk> hunks(const std::vector<int> &match, int beforeSize)
{
    std::vector<Hunk> runs;
    int a = 0;
    int b = 0;
    const int afterSize = int(match.size());
    for (int j = 0; j <= afterSize; ++j) {
        const int i = j < afterSize ? match[size_t(j)] : beforeSize;
        if (j < afterSize && i < 0)
            continue;
        if (i > a || j > b)
            runs.push_back({a, i, b, j});
        a = i + 1;
        b = j + 1;
    }
    return runs;
}

Merge merge(const std::vector<int> &base, const std::vector<int> &mine,
            const std::vector<int> &theirs)
{
    const std::vector<Hunk> ours = hunks(match(base, mine), int(base.size()));
    const std::vector<Hunk> others = hunks(match(base, theirs), int(base.size()));
    Merge merged;
    const auto take = [&merged](bool fromMine, int begin, int end) {
        for (int i = begin; i < end; ++i)
            merged.lines.push_back({fromMine, i});
    };
    size_t o = 0;
    size_t t = 0;
    int at = 0;          // the next line of base
    int mineShift = 0;   // mine's line minus base's outside the runs passed
    int theirsShift = 0; // the same for theirs
    while (o < ours.size() || t < others.size()) {
        const int begin = std::min(o < ours.size() ? ours[o].beforeBegin : int(base.size()),
                                   t < others.size() ? others[t].beforeBegin : int(base.size()));
        take(false, at + theirsShift, begin + theirsShift);
        // The runs that touch one another form one place of change.
        int end = begin;
        int mineAfter = mineShift;
        int theirsAfter = theirsShift;
        bool mineChanged = false;
        bool theirsChanged = false;
        for (bool grew = true; grew;) {
            grew = false;
            if (o < ours.size() && ours[o].beforeBegin <= end) {
                end = std::max(end, ours[o].beforeEnd);
                mineAfter = ours[o].afterEnd - ours[o].beforeEnd;
                mineChanged = grew = true;
                ++o;
            }
            if (t < others.size() && others[t].beforeBegin <= end) {
                end = std::max(end, others[t].beforeEnd);
                theirsAfter = others[t].afterEnd - others[t].beforeEnd;
                theirsChanged = grew = true;
                ++t;
            }
        }
        const int mineBegin = begin + mineShift;
        const int mineEnd = end + mineAfter;
        const int theirsBegin = begin + theirsShift;
        const int theirsEnd = end + theirsAfter;
        const bool same = mineEnd - mineBegin == theirsEnd - theirsBegin &&
                          std::equal(mine.begin() + mineBegin, mine.begin() + mineEnd,
                                     theirs.begin() + theirsBegin);
        if (mineChanged && (!theirsChanged || !same)) {
            merged.conflicts += theirsChanged ? 1 : 0;
            take(true, mineBegin, mineEnd);
        } else {
            take(false, theirsBegin, theirsEnd);
        }
        at = end;
        mineShift = mineAfter;
        theirsShift = theirsAfter;
    }
    take(false, at + theirsShift, int(base.size()) + theirsShift);
    return merged;
}

} // namespace LineDiff
