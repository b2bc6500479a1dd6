#pragma once

#include <QHash>
#include <vector>

// Which lines of a text stay when it is changed into another: a longest common subsequence of
// equal lines (Myers' algorithm), and the three-way merge of two changes of one text. Lines are
// numbers, equal for equal lines (numbered()).
namespace LineDiff {

// Numbers the lines by table: a line met before keeps its number. Number the lists compared with
// one table.
template <typename Line>
std::vector<int> numbered(const std::vector<Line> &lines, QHash<Line, int> &table)
{
    std::vector<int> numbers;
    numbers.reserve(lines.size());
    for (const Line &line : lines) {
        auto found = table.constFind(line);
        if (found == table.cend())
            found = table.insert(line, int(table.size()));
        numbers.push_back(*found);
    }
    return numbers;
}

// For each line of after, the line of before that it keeps, or -1. Equal lines at both ends are
// matched first; between them, beyond a thousand differences no further line is matched.
std::vector<int> match(const std::vector<int> &before, const std::vector<int> &after);

// A run of lines that differ between two matched ones: before's [beforeBegin, beforeEnd) became
// after's [afterBegin, afterEnd).
struct Hunk
{
    int beforeBegin = 0;
    int beforeEnd = 0;
    int afterBegin = 0;
    int afterEnd = 0;
};
std::vector<Hunk> hunks(const std::vector<int> &match, int beforeSize);

// The lines of a merge: each from mine or from theirs.
struct MergedLine
{
    bool mine = false;
    int index = 0;
};
struct Merge
{
    std::vector<MergedLine> lines;
    // Places where both changed the same lines differently; mine is kept there.
    int conflicts = 0;
};
// Both changes of base in one text: lines neither changed come from theirs.
Merge merge(const std::vector<int> &base, const std::vector<int> &mine,
            const std::vector<int> &theirs);

} // namespace LineDiff
