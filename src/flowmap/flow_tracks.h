#pragma once

#include <cstddef>
#include <vector>

// The stretches of the flow map's arrows along its channels (the gutters between columns and
// the strips between rows) and the tracks they run on. Stretches that overlap along a channel
// run on different tracks, except those of one net (arrows into one dialog), which join. The
// tracks of each cluster of overlapping stretches are ordered so that the arrows' turns cross
// few other stretches.
class FlowTracks
{
public:
    // Where a stretch turns off its channel, as a key along the channel: towards the channel's
    // top or left side (before), or the other way.
    struct End
    {
        double key = 0;
        bool before = false;
    };

    // A stretch of a gutter (vertical) or strip; net -1 for one that shares with none.
    int add(bool vertical, int channel, int net, End a, End b);
    void assign(int gutters, int strips);
    int track(int stretch) const
    {
        return m_groups[size_t(m_stretches[size_t(stretch)].group)].track;
    }
    int tracks(bool vertical, int channel) const
    {
        return (vertical ? m_gutterTracks : m_stripTracks)[size_t(channel)];
    }

private:
    struct Stretch
    {
        bool vertical = false;
        int channel = 0;
        int net = -1;
        double low = 0;
        double high = 0;
        End ends[2];
        int group = -1;
    };
    // Stretches that share one track.
    struct Group
    {
        bool vertical = false;
        int channel = 0;
        double low = 0;
        double high = 0;
        int first = 0; // into m_byGroup
        int count = 0;
        int track = 0;
    };
    void group();
    // The crossings putting a before (above, left of) b costs.
    int cost(const Group &a, const Group &b) const;
    void order(std::vector<int> &cluster);

    std::vector<Stretch> m_stretches;
    std::vector<Group> m_groups;
    std::vector<int> m_byGroup;
    std::vector<int> m_gutterTracks;
    std::vector<int> m_stripTracks;
};
