#include "flow_tracks.h"

#include <algorithm>
#include <functional>
#include <limits>
#include <queue>
#include <tuple>

namespace {

// Clusters up to this many stretches are put in the order that crosses least; a larger one
// (rare) takes the lowest free track where each stretch begins.
constexpr size_t kOrderedCluster = 40;

template <typename T> bool overlap(const T &a, const T &b)
{
    return a.low <= b.high && b.low <= a.high;
}

} // namespace

int FlowTracks::add(bool vertical, int channel, int net, End a, End b)
{
    Stretch stretch;
    stretch.vertical = vertical;
    stretch.channel = channel;
    stretch.net = net;
    stretch.low = std::min(a.key, b.key);
    stretch.high = std::max(a.key, b.key);
    stretch.ends[0] = a;
    stretch.ends[1] = b;
    m_stretches.push_back(stretch);
    return int(m_stretches.size()) - 1;
}

void FlowTracks::group()
{
    // Stretches of one net in one channel form one group; every other stretch one of its own.
    m_byGroup.resize(m_stretches.size());
    for (size_t s = 0; s < m_byGroup.size(); ++s)
        m_byGroup[s] = int(s);
    auto key = [this](int s) {
        const Stretch &stretch = m_stretches[size_t(s)];
        return std::make_tuple(stretch.vertical, stretch.channel,
                               stretch.net < 0 ? std::numeric_limits<int>::max() : stretch.net, s);
    };
    std::sort(m_byGroup.begin(), m_byGroup.end(), [&key](int a, int b) { return key(a) < key(b); });
    for (size_t i = 0; i < m_byGroup.size(); ++i) {
        Stretch &stretch = m_stretches[size_t(m_byGroup[i])];
        const Stretch *previous = i > 0 ? &m_stretches[size_t(m_byGroup[i - 1])] : nullptr;
        if (previous && stretch.net >= 0 && previous->net == stretch.net &&
            previous->vertical == stretch.vertical && previous->channel == stretch.channel) {
            Group &joined = m_groups.back();
            joined.low = std::min(joined.low, stretch.low);
            joined.high = std::max(joined.high, stretch.high);
            ++joined.count;
        } else {
            m_groups.push_back(
                {stretch.vertical, stretch.channel, stretch.low, stretch.high, int(i), 1, 0});
        }
        stretch.group = int(m_groups.size()) - 1;
    }
}

int FlowTracks::cost(const Group &a, const Group &b) const
{
    // b's ends turning before inside a's span cross a; a's ends turning after inside b's span
    // cross b.
    int crossings = 0;
    auto count = [this, &crossings](const Group &span, const Group &turning, bool before) {
        for (int i = 0; i < turning.count; ++i) {
            const Stretch &stretch = m_stretches[size_t(m_byGroup[size_t(turning.first + i)])];
            for (const End &end : stretch.ends)
                crossings += end.before == before && end.key > span.low && end.key < span.high;
        }
    };
    count(a, b, true);
    count(b, a, false);
    // Two stretches turning off at one place the opposite ways cross unless the one turning
    // before stands before.
    for (int i = 0; i < a.count; ++i) {
        const Stretch &first = m_stretches[size_t(m_byGroup[size_t(a.first + i)])];
        for (int j = 0; j < b.count; ++j) {
            const Stretch &second = m_stretches[size_t(m_byGroup[size_t(b.first + j)])];
            for (const End &mine : first.ends) {
                for (const End &theirs : second.ends)
                    crossings += mine.key == theirs.key && !mine.before && theirs.before;
            }
        }
    }
    return crossings;
}

void FlowTracks::order(std::vector<int> &cluster)
{
    if (cluster.size() <= kOrderedCluster) {
        // Each time the group that crosses least when put before all the others left, then
        // each group after every earlier one it overlaps.
        std::vector<int> ordered;
        while (!cluster.empty()) {
            size_t best = 0;
            int bestScore = std::numeric_limits<int>::max();
            for (size_t i = 0; i < cluster.size(); ++i) {
                const Group &a = m_groups[size_t(cluster[i])];
                int score = 0;
                for (size_t j = 0; j < cluster.size(); ++j) {
                    const Group &b = m_groups[size_t(cluster[j])];
                    if (i != j && overlap(a, b))
                        score += cost(a, b) - cost(b, a);
                }
                if (score < bestScore) {
                    bestScore = score;
                    best = i;
                }
            }
            ordered.push_back(cluster[best]);
            cluster.erase(cluster.begin() + std::ptrdiff_t(best));
        }
        for (size_t i = 0; i < ordered.size(); ++i) {
            Group &group = m_groups[size_t(ordered[i])];
            group.track = 0;
            for (size_t j = 0; j < i; ++j) {
                const Group &earlier = m_groups[size_t(ordered[j])];
                if (overlap(group, earlier))
                    group.track = std::max(group.track, earlier.track + 1);
            }
        }
        cluster = ordered;
        return;
    }
    using Busy = std::pair<double, int>;
    std::priority_queue<Busy, std::vector<Busy>, std::greater<>> busy;
    std::priority_queue<int, std::vector<int>, std::greater<>> free;
    int tracks = 0;
    for (const int g : cluster) {
        Group &group = m_groups[size_t(g)];
        while (!busy.empty() && busy.top().first < group.low) {
            free.push(busy.top().second);
            busy.pop();
        }
        if (free.empty()) {
            group.track = tracks++;
        } else {
            group.track = free.top();
            free.pop();
        }
        busy.push({group.high, group.track});
    }
}

void FlowTracks::assign(int gutters, int strips)
{
    group();
    std::vector<int> byChannel(m_groups.size());
    for (size_t g = 0; g < byChannel.size(); ++g)
        byChannel[g] = int(g);
    std::sort(byChannel.begin(), byChannel.end(), [this](int a, int b) {
        const Group &x = m_groups[size_t(a)];
        const Group &y = m_groups[size_t(b)];
        return std::tie(x.vertical, x.channel, x.low) < std::tie(y.vertical, y.channel, y.low);
    });
    m_gutterTracks.assign(size_t(gutters), 0);
    m_stripTracks.assign(size_t(strips), 0);
    std::vector<int> cluster;
    auto place = [this, &cluster] {
        order(cluster);
        for (const int g : cluster) {
            const Group &group = m_groups[size_t(g)];
            int &tracks = (group.vertical ? m_gutterTracks : m_stripTracks)[size_t(group.channel)];
            tracks = std::max(tracks, group.track + 1);
        }
        cluster.clear();
    };
    double reach = 0;
    for (const int g : byChannel) {
        const Group &group = m_groups[size_t(g)];
        if (!cluster.empty()) {
            const Group &previous = m_groups[size_t(cluster.back())];
            if (previous.vertical != group.vertical || previous.channel != group.channel ||
                group.low > reach)
                place();
        }
        reach = cluster.empty() ? group.high : std::max(reach, group.high);
        cluster.push_back(g);
    }
    if (!cluster.empty())
        place();
}
