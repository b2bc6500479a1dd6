#include "reading_reach.h"

#include "action_reference.h"
#include "dialog_numbers.h"
#include "dialog_tree.h"
#include "node_text.h"
#include "platform/ansi.h"

#include <QHash>
#include <QStringList>
#include <algorithm>

namespace {

constexpr int kEnd = -1; // the conversation ends
// The dialogs a loop's finding names before it says how many more there are.
constexpr int kNamedInLoop = 6;

// Read: the dialog was read, its delete actions ran. Skip: the dialog was removed and passed
// over. Answer: an answer of a choice dialog was taken.
enum EdgeKind : quint8 { Read, Skip, Answer };

struct Edge
{
    int to = kEnd;
    EdgeKind kind = Read;
};

// The conversation as a graph of dialogs, numbered in pre-order.
struct Graph
{
    std::vector<const DialogNode *> dialogs;
    std::vector<int> idAt; // by absolute index: the dialog's id, -1 for other nodes
    std::vector<int> offsets;
    std::vector<Edge> edges; // those of dialog d from offsets[d] to offsets[d + 1]
    // The answers some delete action removes, and per dialog those its delete actions remove.
    std::vector<const DialogNode *> answers;
    std::vector<std::vector<int>> deleters; // per answer, the dialogs that remove it
    std::vector<std::vector<int>> removes;  // per dialog, the answers it removes
    int entry = -1;                         // Dialog1

    int size() const { return int(dialogs.size()); }
};

Graph build(const DialogTree &tree, const DialogNumbers &numbers)
{
    Graph graph;
    const int count = tree.count();
    graph.idAt.assign(size_t(count), -1);
    // Per node: the dialog at or above it. Per parent (the top level last): its last dialog.
    std::vector<int> dialogAbove(size_t(count), -1);
    std::vector<int> lastDialogUnder(size_t(count) + 1, -1);
    std::vector<int> holder;
    std::vector<int> nextAtLevel;
    for (int i = 0; i < count; ++i) {
        const DialogNode *node = tree.nodeAt(i);
        const DialogNode *parent = node->parent();
        const int above = parent ? dialogAbove[size_t(parent->absoluteIndex())] : -1;
        if (!NodeText::isDialog(node->text())) {
            dialogAbove[size_t(i)] = above;
            continue;
        }
        const int id = graph.size();
        graph.dialogs.push_back(node);
        graph.idAt[size_t(i)] = id;
        dialogAbove[size_t(i)] = id;
        holder.push_back(above);
        nextAtLevel.push_back(-1);
        int &last = lastDialogUnder[parent ? size_t(parent->absoluteIndex()) : size_t(count)];
        if (last >= 0)
            nextAtLevel[size_t(last)] = id;
        last = id;
    }
    // Where the reading goes after a dialog: the next one at its level, or after its holder.
    std::vector<int> follows(graph.dialogs.size(), kEnd);
    for (int id = 0; id < graph.size(); ++id) {
        const int next = nextAtLevel[size_t(id)];
        const int up = holder[size_t(id)];
        follows[size_t(id)] = next >= 0 ? next : up >= 0 ? follows[size_t(up)] : kEnd;
    }
    const auto idOf = [&graph](const DialogNode *dialog) {
        return graph.idAt[size_t(dialog->absoluteIndex())];
    };
    if (const DialogNode *first = numbers.find(1))
        graph.entry = idOf(first);

    // What the delete actions of text dialogs may remove, and each text dialog's goto.
    std::vector<bool> removable(graph.dialogs.size(), false);
    std::vector<int> jumps(graph.dialogs.size(), -1);
    QHash<const DialogNode *, int> answerIndex;
    graph.removes.resize(graph.dialogs.size());
    for (int id = 0; id < graph.size(); ++id) {
        const DialogNode *dialog = graph.dialogs[size_t(id)];
        if (NodeText::isChoiceDialog(dialog))
            continue;
        for (int row = 0; row < dialog->childCount(); ++row) {
            const QByteArray &text = dialog->child(row)->text();
            if (!NodeText::isAction(text) || !ActionReference::mayName(text))
                continue;
            const ActionReference reference = ActionReference::parse(text);
            if (!DialogCheck::referenceProblem(numbers, dialog, reference).isEmpty())
                continue;
            const DialogNode *target = numbers.find(reference.dialog);
            if (reference.kind == ActionReference::Goto) {
                if (jumps[size_t(id)] < 0)
                    jumps[size_t(id)] = idOf(target);
            } else if (reference.kind == ActionReference::DeleteDialog) {
                removable[size_t(idOf(target))] = true;
            } else if (reference.kind == ActionReference::DeleteChoice) {
                const QByteArray choice = NodeText::choice(QByteArray::number(reference.choice));
                for (int c = 0; c < target->childCount(); ++c) {
                    const DialogNode *answer = target->child(c);
                    if (answer->text() != choice)
                        continue;
                    auto at = answerIndex.constFind(answer);
                    if (at == answerIndex.constEnd()) {
                        at = answerIndex.insert(answer, int(graph.answers.size()));
                        graph.answers.push_back(answer);
                        graph.deleters.emplace_back();
                    }
                    graph.deleters[size_t(*at)].push_back(id);
                    graph.removes[size_t(id)].push_back(*at);
                }
            }
        }
    }

    graph.offsets.reserve(graph.dialogs.size() + 1);
    for (int id = 0; id < graph.size(); ++id) {
        graph.offsets.push_back(int(graph.edges.size()));
        const DialogNode *dialog = graph.dialogs[size_t(id)];
        const int after = follows[size_t(id)];
        if (NodeText::isChoiceDialog(dialog)) {
            bool allRemovable = true;
            for (int row = 0; row < dialog->childCount(); ++row) {
                const DialogNode *answer = dialog->child(row);
                if (!NodeText::isChoice(answer->text()))
                    continue;
                int to = after;
                for (int c = 0; c < answer->childCount() && to == after; ++c) {
                    if (NodeText::isDialog(answer->child(c)->text()))
                        to = idOf(answer->child(c));
                }
                graph.edges.push_back({to, Answer});
                allRemovable = allRemovable && answerIndex.contains(answer);
            }
            if (allRemovable)
                graph.edges.push_back({after, Skip});
        } else {
            const int jump = jumps[size_t(id)];
            graph.edges.push_back({jump >= 0 ? jump : after, Read});
        }
        if (removable[size_t(id)])
            graph.edges.push_back({after, Skip});
    }
    graph.offsets.push_back(int(graph.edges.size()));
    return graph;
}

// Every dialog a reading from the entry may reach.
std::vector<bool> reachable(const Graph &graph)
{
    std::vector<bool> reached(graph.dialogs.size(), false);
    std::vector<int> stack{graph.entry};
    reached[size_t(graph.entry)] = true;
    while (!stack.empty()) {
        const int from = stack.back();
        stack.pop_back();
        for (int e = graph.offsets[size_t(from)]; e < graph.offsets[size_t(from) + 1]; ++e) {
            const int to = graph.edges[size_t(e)].to;
            if (to != kEnd && !reached[size_t(to)]) {
                reached[size_t(to)] = true;
                stack.push_back(to);
            }
        }
    }
    return reached;
}

// The strongly connected parts of the reachable graph, by Tarjan's algorithm without
// recursion; each dialog's part, -1 for the unreached.
std::vector<int> components(const Graph &graph, const std::vector<bool> &reached, int *count)
{
    const size_t n = graph.dialogs.size();
    std::vector<int> component(n, -1);
    std::vector<int> order(n, -1);
    std::vector<int> low(n, 0);
    std::vector<bool> onStack(n, false);
    std::vector<int> stack;
    std::vector<std::pair<int, int>> walk; // dialog, next edge to look at
    int visited = 0;
    *count = 0;
    for (int root = 0; root < int(n); ++root) {
        if (!reached[size_t(root)] || order[size_t(root)] >= 0)
            continue;
        walk.push_back({root, graph.offsets[size_t(root)]});
        order[size_t(root)] = low[size_t(root)] = visited++;
        stack.push_back(root);
        onStack[size_t(root)] = true;
        while (!walk.empty()) {
            auto &[at, edge] = walk.back();
            if (edge < graph.offsets[size_t(at) + 1]) {
                const int to = graph.edges[size_t(edge++)].to;
                if (to == kEnd)
                    continue;
                if (order[size_t(to)] < 0) {
                    order[size_t(to)] = low[size_t(to)] = visited++;
                    stack.push_back(to);
                    onStack[size_t(to)] = true;
                    walk.push_back({to, graph.offsets[size_t(to)]});
                } else if (onStack[size_t(to)]) {
                    low[size_t(at)] = std::min(low[size_t(at)], order[size_t(to)]);
                }
                continue;
            }
            const int done = at;
            walk.pop_back();
            if (!walk.empty())
                low[size_t(walk.back().first)] =
                    std::min(low[size_t(walk.back().first)], low[size_t(done)]);
            if (low[size_t(done)] == order[size_t(done)]) {
                int member;
                do {
                    member = stack.back();
                    stack.pop_back();
                    onStack[size_t(member)] = false;
                    component[size_t(member)] = *count;
                } while (member != done);
                ++*count;
            }
        }
    }
    return component;
}

// Per answer that delete actions remove: whether every way from the entry to its choice dialog
// removed it already. The sets of removed answers meet over the ways into each dialog, 64
// answers at a time, until nothing changes.
std::vector<bool> removedOnEveryWay(const Graph &graph, const std::vector<bool> &reached)
{
    const size_t n = graph.dialogs.size();
    std::vector<bool> result(graph.answers.size(), false);
    if (graph.answers.empty())
        return result;
    // The reachable dialogs in reverse post-order, and the ways into each.
    std::vector<int> post;
    std::vector<bool> seen(n, false);
    std::vector<std::pair<int, int>> walk{{graph.entry, graph.offsets[size_t(graph.entry)]}};
    seen[size_t(graph.entry)] = true;
    while (!walk.empty()) {
        auto &[at, edge] = walk.back();
        if (edge < graph.offsets[size_t(at) + 1]) {
            const int to = graph.edges[size_t(edge++)].to;
            if (to != kEnd && !seen[size_t(to)]) {
                seen[size_t(to)] = true;
                walk.push_back({to, graph.offsets[size_t(to)]});
            }
            continue;
        }
        post.push_back(at);
        walk.pop_back();
    }
    std::vector<int> intoOffsets(n + 1, 0);
    for (size_t from = 0; from < n; ++from) {
        if (!reached[from])
            continue;
        for (int e = graph.offsets[from]; e < graph.offsets[from + 1]; ++e) {
            if (graph.edges[size_t(e)].to != kEnd)
                ++intoOffsets[size_t(graph.edges[size_t(e)].to) + 1];
        }
    }
    for (size_t i = 0; i < n; ++i)
        intoOffsets[i + 1] += intoOffsets[i];
    // Edge::to holds where the way comes from.
    auto into = std::vector<Edge>(size_t(intoOffsets[n]));
    std::vector<int> filled(intoOffsets.begin(), intoOffsets.end() - 1);
    for (size_t from = 0; from < n; ++from) {
        if (!reached[from])
            continue;
        for (int e = graph.offsets[from]; e < graph.offsets[from + 1]; ++e) {
            const Edge &edge = graph.edges[size_t(e)];
            if (edge.to != kEnd)
                into[size_t(filled[size_t(edge.to)]++)] = {int(from), edge.kind};
        }
    }

    std::vector<quint64> removed(n);
    std::vector<quint64> removes(n);
    for (size_t base = 0; base < graph.answers.size(); base += 64) {
        std::fill(removes.begin(), removes.end(), 0);
        for (size_t d = 0; d < n; ++d) {
            for (const int answer : graph.removes[d]) {
                if (size_t(answer) >= base && size_t(answer) < base + 64)
                    removes[d] |= quint64(1) << (size_t(answer) - base);
            }
        }
        std::fill(removed.begin(), removed.end(), ~quint64(0));
        // The reading starts with nothing removed, whatever comes back to Dialog1 later.
        removed[size_t(graph.entry)] = 0;
        for (bool changed = true; changed;) {
            changed = false;
            for (auto v = post.rbegin(); v != post.rend(); ++v) {
                if (*v == graph.entry)
                    continue;
                quint64 meet = ~quint64(0);
                for (int e = intoOffsets[size_t(*v)]; e < intoOffsets[size_t(*v) + 1]; ++e) {
                    const Edge &way = into[size_t(e)];
                    meet &= removed[size_t(way.to)] |
                            (way.kind == Read ? removes[size_t(way.to)] : quint64(0));
                }
                if (meet != removed[size_t(*v)]) {
                    removed[size_t(*v)] = meet;
                    changed = true;
                }
            }
        }
        for (size_t answer = base; answer < std::min(base + 64, graph.answers.size()); ++answer) {
            const int choice = graph.idAt[size_t(graph.answers[answer]->parent()->absoluteIndex())];
            result[answer] =
                reached[size_t(choice)] && (removed[size_t(choice)] >> (answer - base)) & 1;
        }
    }
    return result;
}

QString names(const std::vector<const DialogNode *> &dialogs)
{
    QStringList shown;
    for (size_t i = 0; i < dialogs.size() && i < size_t(kNamedInLoop); ++i)
        shown << Ansi::toUnicode(dialogs[i]->text());
    QString text = shown.join(QStringLiteral(", "));
    if (dialogs.size() > size_t(kNamedInLoop))
        text += QStringLiteral(" and %1 more").arg(dialogs.size() - size_t(kNamedInLoop));
    return text;
}

} // namespace

namespace ReadingReach {

std::vector<CheckFinding> check(const DialogTree &tree)
{
    std::vector<CheckFinding> findings;
    const DialogNumbers numbers(tree);
    const Graph graph = build(tree, numbers);
    if (graph.entry < 0)
        return findings;
    const size_t n = graph.dialogs.size();
    const std::vector<bool> reached = reachable(graph);

    // An unreached dialog is told once, with the unreached dialogs that only it leads to.
    std::vector<bool> told(n, false);
    for (size_t id = 0; id < n; ++id) {
        if (reached[id] || told[id])
            continue;
        int others = 0;
        std::vector<int> stack{int(id)};
        told[id] = true;
        while (!stack.empty()) {
            const int from = stack.back();
            stack.pop_back();
            for (int e = graph.offsets[size_t(from)]; e < graph.offsets[size_t(from) + 1]; ++e) {
                const int to = graph.edges[size_t(e)].to;
                if (to != kEnd && !reached[size_t(to)] && !told[size_t(to)]) {
                    told[size_t(to)] = true;
                    ++others;
                    stack.push_back(to);
                }
            }
        }
        findings.push_back(DialogCheck::finding(
            graph.dialogs[id],
            others == 0
                ? QStringLiteral("no reading from Dialog1 reaches this dialog, whatever the "
                                 "answers; lead to it with a goto or an answer, or remove it")
                : QStringLiteral("no reading from Dialog1 reaches this dialog, nor the %1 "
                                 "dialog(s) only it leads to, whatever the answers; lead to it "
                                 "with a goto or an answer, or remove them")
                      .arg(others)));
    }

    // A loop never left: a part of the graph that leads only into itself.
    int componentCount = 0;
    const std::vector<int> component = components(graph, reached, &componentCount);
    auto members = std::vector<std::vector<const DialogNode *>>(size_t(componentCount));
    for (size_t id = 0; id < n; ++id) {
        if (component[id] >= 0)
            members[size_t(component[id])].push_back(graph.dialogs[id]);
    }
    std::vector<bool> leaves(size_t(componentCount), false);
    std::vector<bool> cycles(size_t(componentCount), false);
    std::vector<bool> answered(size_t(componentCount), false);
    for (size_t id = 0; id < n; ++id) {
        const int part = component[id];
        if (part < 0)
            continue;
        cycles[size_t(part)] = cycles[size_t(part)] || members[size_t(part)].size() > 1;
        for (int e = graph.offsets[id]; e < graph.offsets[id + 1]; ++e) {
            const Edge &edge = graph.edges[size_t(e)];
            if (edge.to == kEnd || component[size_t(edge.to)] != part)
                leaves[size_t(part)] = true;
            else if (edge.to == int(id))
                cycles[size_t(part)] = true;
            answered[size_t(part)] = answered[size_t(part)] || edge.kind == Answer;
        }
    }
    for (int part = 0; part < componentCount; ++part) {
        const auto &loop = members[size_t(part)];
        if (leaves[size_t(part)] || !cycles[size_t(part)])
            continue;
        findings.push_back(DialogCheck::finding(
            loop.front(),
            answered[size_t(part)]
                ? QStringLiteral("a reading can enter the loop %1 here and never leave it: no "
                                 "answer on it leads out; give one of its answers a way on, or "
                                 "a goto out of it")
                      .arg(names(loop))
                : QStringLiteral("a reading can enter the loop %1 here and never leave it: its "
                                 "gotos go round for ever; point one of them out of the loop")
                      .arg(names(loop))));
    }

    // Answers removed before every showing of their choice, and choices left with none.
    const std::vector<bool> removed = removedOnEveryWay(graph, reached);
    QHash<const DialogNode *, int> answerIndex;
    for (size_t answer = 0; answer < graph.answers.size(); ++answer) {
        const DialogNode *node = graph.answers[answer];
        answerIndex.insert(node, int(answer));
        if (!removed[answer])
            continue;
        const DialogNode *choice = node->parent();
        const QByteArray number = NodeText::choiceNumber(node->text());
        findings.push_back(DialogCheck::finding(
            node, QStringLiteral("every way to %1 removes this answer before it is offered "
                                 "(Delete = %2 from %3), so it is never offered; move that "
                                 "delete action after the choice, or remove the answer")
                      .arg(Ansi::toUnicode(choice->text()), Ansi::toUnicode(number))
                      .arg(DialogNumbers::numberOf(choice))));
    }
    for (size_t id = 0; id < n; ++id) {
        const DialogNode *dialog = graph.dialogs[id];
        if (!reached[id] || !NodeText::isChoiceDialog(dialog))
            continue;
        // Each answer is removed on every way here, or by a dialog on a loop through here,
        // which a reading can go round until all of them are gone.
        const int part = component[id];
        bool allGone = true;
        for (int row = 0; row < dialog->childCount() && allGone; ++row) {
            const DialogNode *answer = dialog->child(row);
            if (!NodeText::isChoice(answer->text()))
                continue;
            const auto at = answerIndex.constFind(answer);
            if (at == answerIndex.constEnd()) {
                allGone = false;
                break;
            }
            bool onLoop = false;
            for (const int deleter : graph.deleters[size_t(*at)])
                onLoop = onLoop || (component[size_t(deleter)] == part && cycles[size_t(part)]);
            allGone = removed[size_t(*at)] || onLoop;
        }
        if (allGone)
            findings.push_back(DialogCheck::finding(
                dialog, QStringLiteral("a reading can reach this choice with all its answers "
                                       "removed, and then it offers nothing; keep one answer "
                                       "that no delete action removes, or lead on before the "
                                       "last one goes")));
    }
    std::stable_sort(findings.begin(), findings.end(), [](const auto &a, const auto &b) {
        return a.node->absoluteIndex() < b.node->absoluteIndex();
    });
    return findings;
}

} // namespace ReadingReach
