#include "document/dialog_numbers.h"
#include "document/dialog_tree.h"
#include "document/node_text.h"
#include "document/read_through.h"
#include "flowmap/flow_export.h"
#include "flowmap/flow_graph.h"
#include "flowmap/flow_layout.h"
#include "test_documents.h"

#include <QLineF>
#include <QRandomGenerator>
#include <QTest>
#include <QXmlStreamReader>

namespace {

QByteArray kindName(FlowGraph::EdgeKind kind)
{
    static const char *const names[] = {"next", "answer", "goto", "broken"};
    return names[int(kind)];
}

// "1>2 next" per arrow, in the graph's order.
QByteArrayList arrows(const FlowGraph &graph)
{
    QByteArrayList list;
    for (const FlowGraph::Edge &edge : graph.edges()) {
        QByteArray line = QByteArray::number(graph.boxes()[size_t(edge.from)].number) + '>';
        if (edge.to >= 0)
            line += QByteArray::number(graph.boxes()[size_t(edge.to)].number);
        list.append(line + ' ' + kindName(edge.kind));
    }
    return list;
}

// The dialogs the reading passes, taking the given answers at the choices, until it waits,
// stops or ends; by the map's arrows.
QByteArrayList walkMap(const FlowGraph &graph, QList<int> answers)
{
    QByteArrayList reached;
    int box = 0;
    while (box >= 0 && reached.size() < 50) {
        reached.append(graph.boxes()[size_t(box)].dialog->text());
        int next = -1;
        bool stops = false;
        for (const FlowGraph::Edge &edge : graph.edges()) {
            if (edge.from != box)
                continue;
            if (edge.kind == FlowGraph::EdgeKind::Broken)
                stops = true;
            else if (edge.kind != FlowGraph::EdgeKind::Answer)
                next = edge.to;
            else if (!answers.isEmpty() && edge.port == answers.first())
                next = edge.to;
        }
        if (graph.boxes()[size_t(box)].choice) {
            if (answers.isEmpty())
                break;
            answers.removeFirst();
        }
        box = stops ? -1 : next;
    }
    return reached;
}

QByteArrayList walkReading(const DialogTree &tree, QList<int> answers)
{
    ReadThrough reading(tree);
    reading.restart();
    while (reading.state() == ReadThrough::State::Choosing && !answers.isEmpty())
        reading.choose(answers.takeFirst());
    // Each entry names the dialog read when it was written; a dialog is never read twice in
    // a row.
    QByteArrayList reached;
    const DialogNode *last = nullptr;
    for (const ReadThrough::Entry &entry : reading.transcript()) {
        if (entry.dialog && entry.dialog != last)
            reached.append(entry.dialog->text());
        last = entry.dialog;
    }
    return reached;
}

// The legs of an arrow's route.
std::vector<QLineF> legsOf(const FlowLayout &layout, size_t edge)
{
    const FlowLayout::Route &route = layout.routes()[edge];
    std::vector<QLineF> legs;
    for (int p = 1; p < route.count; ++p)
        legs.emplace_back(layout.points()[size_t(route.first + p - 1)],
                          layout.points()[size_t(route.first + p)]);
    return legs;
}

// How long two axis-parallel legs run on one line.
double sharedLength(const QLineF &a, const QLineF &b)
{
    auto overlap = [](double a1, double a2, double b1, double b2) {
        return std::max(0.0, std::min(std::max(a1, a2), std::max(b1, b2)) -
                                 std::max(std::min(a1, a2), std::min(b1, b2)));
    };
    if (a.dx() == 0 && b.dx() == 0 && std::abs(a.x1() - b.x1()) < 0.5)
        return overlap(a.y1(), a.y2(), b.y1(), b.y2());
    if (a.dy() == 0 && b.dy() == 0 && std::abs(a.y1() - b.y1()) < 0.5)
        return overlap(a.x1(), a.x2(), b.x1(), b.x2());
    return 0;
}

// Whether two axis-parallel legs cross: one runs across the other, not at an end of either.
bool cross(const QLineF &a, const QLineF &b)
{
    const QLineF &across = a.dy() == 0 ? a : b;
    const QLineF &down = a.dy() == 0 ? b : a;
    if (across.dy() != 0 || down.dx() != 0 || &across == &down)
        return false;
    const double x = down.x1();
    const double y = across.y1();
    return x > std::min(across.x1(), across.x2()) && x < std::max(across.x1(), across.x2()) &&
           y > std::min(down.y1(), down.y2()) && y < std::max(down.y1(), down.y2());
}

// Up to three answers of the graph's choices, picked at random.
std::vector<const DialogNode *> someAnswers(const FlowGraph &graph, QRandomGenerator &random)
{
    std::vector<const DialogNode *> answers;
    for (const FlowGraph::Branch &branch : graph.branches()) {
        if (branch.owner >= 0 && graph.boxes()[size_t(branch.owner)].choice &&
            random.bounded(4) == 0 && answers.size() < 3)
            answers.push_back(branch.parent);
    }
    return answers;
}

// The rules every map keeps: see arrowsReadApart.
void verifyLines(const FlowGraph &graph, const QByteArray &where)
{
    const FlowLayout layout = FlowLayout::lay(graph);
    const std::vector<QRectF> &boxes = layout.boxes();
    const QRectF map(QPointF(0, 0), layout.size());
    for (size_t a = 0; a < boxes.size(); ++a) {
        QVERIFY(map.contains(boxes[a]));
        for (size_t b = a + 1; b < boxes.size(); ++b)
            QVERIFY2(!boxes[a].intersects(boxes[b]), where.constData());
    }
    const std::vector<FlowGraph::Edge> &edges = graph.edges();
    for (size_t e = 0; e < edges.size(); ++e) {
        const FlowGraph::Edge &edge = edges[e];
        const std::vector<QLineF> legs = legsOf(layout, e);
        const QByteArray arrow = where + " arrow " + QByteArray::number(e);
        double length = 0;
        for (const QLineF &leg : legs) {
            QVERIFY(map.contains(leg.p1()) && map.contains(leg.p2()));
            QVERIFY2(leg.dx() == 0 || leg.dy() == 0, arrow.constData());
            length += leg.length();
            const QRectF span = QRectF(leg.p1(), leg.p2()).normalized();
            for (size_t b = 0; b < boxes.size(); ++b) {
                if (int(b) != edge.from && int(b) != edge.to)
                    QVERIFY2(!boxes[b]
                                  .adjusted(1, 1, -1, -1)
                                  .intersects(span.adjusted(0, 0, 0.01, 0.01)),
                             arrow.constData());
            }
        }
        for (size_t other = e + 1; other < edges.size(); ++other) {
            if (edge.to >= 0 && edges[other].to == edge.to)
                continue;
            for (const QLineF &leg : legs) {
                for (const QLineF &otherLeg : legsOf(layout, other))
                    QVERIFY2(sharedLength(leg, otherLeg) < 0.5,
                             (arrow + " and " + QByteArray::number(other)).constData());
            }
        }
        if (edge.kind == FlowGraph::EdgeKind::Goto) {
            const QPointF ends = legs.back().p2() - legs.front().p1();
            QVERIFY2(length - std::abs(ends.x()) - std::abs(ends.y()) <= 2 * FlowLayout::kBoxWidth,
                     arrow.constData());
        }
    }
}

// A choice of the given number of answers after at; each answer's text a place for dialogs.
void addChoice(DialogTree &tree, DialogNode *at, int answers, std::vector<DialogNode *> &places)
{
    DialogNode *choice = tree.addSibling(at, NodeText::dialog(0));
    for (int a = 0; a < answers; ++a) {
        DialogNode *answer = tree.addChild(choice, NodeText::choice(QByteArray::number(a + 1)));
        places.push_back(tree.addChild(answer, NodeText::text("answer")));
    }
}

// A random conversation: text dialogs and choices nested a few levels, some answers empty,
// gotos and deletes to existing and missing dialogs.
void addRandomStory(DialogTree &tree, QRandomGenerator &random)
{
    tree.addRootNode();
    std::vector<DialogNode *> places{nullptr};
    std::vector<DialogNode *> texts;
    const int dialogs = 5 + int(random.bounded(60));
    for (int i = 0; i < dialogs; ++i) {
        DialogNode *at = places[random.bounded(quint32(places.size()))];
        if (random.bounded(4) == 0) {
            addChoice(tree, at, 1 + int(random.bounded(3)), places);
        } else {
            texts.push_back(addTextDialog(tree, at, "line"));
            // Now and then a file holds dialogs under a text dialog.
            if (random.bounded(12) == 0)
                places.push_back(texts.back()->child(0));
        }
    }
    tree.renumberDialogs();
    for (DialogNode *text : texts) {
        const int target = 1 + int(random.bounded(tree.DialogCount() + 3));
        if (random.bounded(3) == 0)
            tree.addChild(text, NodeText::gotoDialog(target));
        else if (random.bounded(6) == 0)
            tree.addChild(text, NodeText::deleteDialog(target));
    }
}

// A random conversation without gotos: text dialogs and choices of two to four answers nested
// a few levels, now and then with a Set, Call or Delete action.
void addNestedStory(DialogTree &tree, QRandomGenerator &random)
{
    static const char *const actions[] = {"Set int gold = 1", "Call = Door", "Delete = 1"};
    tree.addRootNode();
    std::vector<DialogNode *> places{nullptr};
    for (int i = 0, dialogs = 8 + int(random.bounded(40)); i < dialogs; ++i) {
        DialogNode *at = places[random.bounded(quint32(places.size()))];
        if (random.bounded(3) == 0) {
            addChoice(tree, at, 2 + int(random.bounded(3)), places);
        } else {
            DialogNode *text = addTextDialog(tree, at, "line");
            for (const char *action : actions) {
                if (random.bounded(4) == 0)
                    tree.addChild(text, action);
            }
        }
    }
    tree.renumberDialogs();
}

// Whether box lies in the branches under owner, however deep.
bool under(const FlowGraph &graph, int box, int owner)
{
    for (int at = graph.branches()[size_t(graph.boxes()[size_t(box)].branch)].owner; at >= 0;
         at = graph.branches()[size_t(graph.boxes()[size_t(at)].branch)].owner) {
        if (at == owner)
            return true;
    }
    return false;
}

} // namespace

class TestFlowGraph : public QObject
{
    Q_OBJECT

private slots:
    // Every kind of arrow, and the map read with answers passes the dialogs the read-through
    // passes with the same answers.
    void arrowsFollowTheReading()
    {
        DialogTree tree;
        tree.addRootNode();
        addFlowStory(tree);
        const FlowGraph graph = FlowGraph::build(tree);
        QCOMPARE(graph.boxes().size(), size_t(8));
        QCOMPARE(arrows(graph),
                 QByteArrayList({"1>2 next", "2>3 answer", "2>7 answer", "2>6 answer", "3>4 next",
                                 "4>5 answer", "4>7 answer", "5>1 goto", "6> broken", "6>7 next",
                                 "7> broken"}));
        for (const QList<int> &answers : {QList<int>{}, {0, 0}, {0, 1}, {1}, {2}, {0, 0, 1, 1}}) {
            QCOMPARE(walkMap(graph, answers), walkReading(tree, answers));
        }
        // Any node of a dialog finds that dialog's box; nodes outside dialogs none.
        QCOMPARE(graph.boxOf(tree.nodeAt(0)), -1);
        for (int i = 1; i < tree.count(); ++i) {
            const int box = graph.boxOf(tree.nodeAt(i));
            QVERIFY(box >= 0);
            QVERIFY(tree.nodeAt(i)->isInSubtreeOf(graph.boxes()[size_t(box)].dialog));
        }
    }

    // On random conversations, whole and with answers folded, no box overlaps another, no
    // arrow runs through a box other than the two it joins, no two arrows to different dialogs
    // run on one line, and no goto goes more than two box widths out of its way.
    void arrowsReadApart()
    {
        QRandomGenerator random(20261209);
        for (int round = 0; round < 60; ++round) {
            DialogTree tree;
            addRandomStory(tree, random);
            const FlowGraph graph = FlowGraph::build(tree);
            const QByteArray where = "round " + QByteArray::number(round);
            verifyLines(graph, where);
            verifyLines(graph.folded(someAnswers(graph, random)), where + " folded");
            if (QTest::currentTestFailed())
                return;
        }
    }

    // A lone goto back to a choice from anywhere in its branches, or between two of its
    // branches' lines, can always run free of every other line: the branches stand in an
    // order that lets it, and it finds that way.
    void loneGotosCrossNothing()
    {
        QRandomGenerator random(20260214);
        for (int round = 0; round < 300; ++round) {
            DialogTree tree;
            addNestedStory(tree, random);
            const FlowGraph plain = FlowGraph::build(tree);
            const std::vector<FlowGraph::Box> &boxes = plain.boxes();
            std::vector<int> choices;
            for (size_t b = 0; b < boxes.size(); ++b) {
                if (boxes[b].choice)
                    choices.push_back(int(b));
            }
            if (choices.empty())
                continue;
            const int choice = choices[random.bounded(quint32(choices.size()))];
            // Texts under the choice: on the lines of its branches, or anywhere deeper.
            std::vector<int> lines;
            std::vector<int> deep;
            for (size_t b = 0; b < boxes.size(); ++b) {
                if (boxes[b].choice || !under(plain, int(b), choice))
                    continue;
                deep.push_back(int(b));
                if (plain.branches()[size_t(boxes[b].branch)].owner == choice)
                    lines.push_back(int(b));
            }
            int from = -1;
            int to = choice;
            if (random.bounded(2) == 0 && !deep.empty()) {
                from = deep[random.bounded(quint32(deep.size()))];
            } else if (lines.size() > 1) {
                from = lines[random.bounded(quint32(lines.size()))];
                to = lines[random.bounded(quint32(lines.size()))];
                if (boxes[size_t(to)].branch == boxes[size_t(from)].branch)
                    continue;
            }
            if (from < 0)
                continue;
            tree.addChild(const_cast<DialogNode *>(boxes[size_t(from)].dialog),
                          NodeText::gotoDialog(boxes[size_t(to)].number));
            const FlowGraph graph = FlowGraph::build(tree);
            const FlowLayout layout = FlowLayout::lay(graph);
            const auto jump = std::find_if(
                graph.edges().begin(), graph.edges().end(),
                [](const FlowGraph::Edge &edge) { return edge.kind == FlowGraph::EdgeKind::Goto; });
            QVERIFY(jump != graph.edges().end());
            const size_t e = size_t(jump - graph.edges().begin());
            for (size_t other = 0; other < graph.edges().size(); ++other) {
                for (const QLineF &leg : legsOf(layout, e)) {
                    for (const QLineF &otherLeg : legsOf(layout, other))
                        QVERIFY2(other == e || !cross(leg, otherLeg),
                                 qPrintable(QStringLiteral("round %1: goto %2>%3 crosses arrow %4")
                                                .arg(round)
                                                .arg(boxes[size_t(from)].number)
                                                .arg(boxes[size_t(to)].number)
                                                .arg(other)));
                }
            }
        }
    }

    // The SVG marks where the conversation ends, after a dialog or an answer, hanging from
    // the box's bottom where that answer leaves, and each dialog's Set, Call and Delete
    // actions, as its contract says; folded boxes show no actions.
    void svgShowsEndsAndActions()
    {
        QRandomGenerator random(20260301);
        for (int round = 0; round < 40; ++round) {
            DialogTree tree;
            addNestedStory(tree, random);
            const FlowGraph whole = FlowGraph::build(tree);
            const FlowGraph graph = round % 2 ? whole.folded(someAnswers(whole, random)) : whole;
            const FlowLayout layout = FlowLayout::lay(graph);
            QByteArrayList ends;
            QByteArrayList marks;
            QByteArrayList expectedEnds;
            QByteArrayList expectedMarks;
            for (size_t e = 0; e < graph.ends().size(); ++e) {
                const FlowGraph::End &end = graph.ends()[e];
                const QRectF box = layout.boxes()[size_t(end.box)];
                const QPointF at = end.port >= 0 ? layout.answerPort(end.box, end.port)
                                                 : QPointF(layout.ends()[e].x(), box.bottom());
                QVERIFY(at.x() > box.left() && at.x() < box.right());
                expectedEnds.append(
                    QByteArray::number(graph.boxes()[size_t(end.box)].number) + ' ' +
                    (end.choice ? NodeText::choiceNumber(end.choice->text()) : "-") + ' ' +
                    QByteArray::number(at.x(), 'f', 1) + ',' + QByteArray::number(at.y(), 'f', 1));
            }
            for (const FlowGraph::Box &box : graph.boxes()) {
                QByteArray line = "dialog" + QByteArray::number(box.number);
                for (const auto &[shown, name] : {std::pair{box.deletes, " delete"},
                                                  {box.calls, " call"},
                                                  {box.sets, " set"}}) {
                    if (shown)
                        line += name;
                }
                expectedMarks.append(line);
            }
            QXmlStreamReader xml(FlowExport::svg(graph, layout));
            QByteArray inEnd;
            while (!xml.atEnd()) {
                if (xml.readNext() != QXmlStreamReader::StartElement)
                    continue;
                const QXmlStreamAttributes a = xml.attributes();
                const QByteArray kind = a.value(QLatin1String("class")).toUtf8();
                if (xml.name() == u"g" && kind == "end") {
                    inEnd = a.value(QLatin1String("data-from")).toUtf8() + ' ' +
                            (a.hasAttribute(QLatin1String("data-choice"))
                                 ? a.value(QLatin1String("data-choice")).toUtf8()
                                 : QByteArray("-"));
                } else if (xml.name() == u"path" && !inEnd.isEmpty()) {
                    // The mark's stroke begins at the box.
                    const QList<QByteArray> d = a.value(QLatin1String("d")).toUtf8().split(' ');
                    ends.append(inEnd + ' ' + QByteArray::number(d[0].mid(1).toDouble(), 'f', 1) +
                                ',' + QByteArray::number(d[1].toDouble(), 'f', 1));
                    inEnd.clear();
                } else if (xml.name() == u"g" && kind.startsWith("dialog ")) {
                    marks.append(a.value(QLatin1String("id")).toUtf8());
                } else if (xml.name() == u"g" && kind.startsWith("mark ")) {
                    marks.last() += kind.mid(4);
                }
            }
            QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
            QCOMPARE(ends, expectedEnds);
            QCOMPARE(marks, expectedMarks);
        }
    }

    // Where no other order would let a goto cross fewer lines, the branches stand in the order
    // of their answers: with no gotos, or gotos only back up their own branch or to the
    // choice they stand under, which cross nothing in any order.
    void answersKeepTheirOrder()
    {
        QRandomGenerator random(20260307);
        for (int round = 0; round < 60; ++round) {
            DialogTree tree;
            addNestedStory(tree, random);
            const FlowGraph plain = FlowGraph::build(tree);
            for (const FlowGraph::Box &box : plain.boxes()) {
                const FlowGraph::Branch &branch = plain.branches()[size_t(box.branch)];
                if (box.choice || random.bounded(3) != 0)
                    continue;
                const int target =
                    branch.owner >= 0 && random.bounded(2) ? branch.owner : branch.first;
                tree.addChild(const_cast<DialogNode *>(box.dialog),
                              NodeText::gotoDialog(plain.boxes()[size_t(target)].number));
            }
            const FlowGraph graph = FlowGraph::build(tree);
            const FlowLayout layout = FlowLayout::lay(graph);
            for (const FlowGraph::Box &box : graph.boxes()) {
                int column = -1;
                for (int branch = box.firstBranch; branch >= 0;
                     branch = graph.branches()[size_t(branch)].next) {
                    const int first = graph.branches()[size_t(branch)].first;
                    if (first < 0)
                        continue;
                    QVERIFY2(layout.columnOf(first) > column,
                             qPrintable(
                                 QStringLiteral("round %1, Dialog%2").arg(round).arg(box.number)));
                    column = layout.columnOf(first);
                }
            }
        }
    }

    // A folded answer stands as one box for all its dialogs: every node of them is found
    // there, arrows into them end there, arrows out of them leave from there, and the rest of
    // the map keeps its arrows.
    void foldsKeepTheWaysOut()
    {
        QRandomGenerator random(20240613);
        for (int round = 0; round < 40; ++round) {
            DialogTree tree;
            addRandomStory(tree, random);
            const FlowGraph whole = FlowGraph::build(tree);
            const std::vector<const DialogNode *> folds = someAnswers(whole, random);
            const FlowGraph folded = whole.folded(folds);
            // Each box of the whole graph as the folded graph shows it.
            auto shown = [&folded](const FlowGraph::Box &box) { return folded.boxOf(box.dialog); };
            int hidden = 0;
            for (const FlowGraph::Box &box : whole.boxes()) {
                const FlowGraph::Box &as = folded.boxes()[size_t(shown(box))];
                QVERIFY(box.dialog->isInSubtreeOf(as.foldedAnswer ? as.foldedAnswer : as.dialog));
                hidden += as.dialog != box.dialog;
            }
            int foldedDialogs = 0;
            for (const FlowGraph::Box &box : folded.boxes())
                foldedDialogs += box.foldedAnswer ? box.foldedDialogs - 1 : 0;
            QCOMPARE(hidden, foldedDialogs);
            QCOMPARE(folded.boxes().size() + size_t(hidden), whole.boxes().size());
            QByteArrayList expected;
            for (const FlowGraph::Edge &edge : whole.edges()) {
                const int from = shown(whole.boxes()[size_t(edge.from)]);
                const int to = edge.to >= 0 ? shown(whole.boxes()[size_t(edge.to)]) : -1;
                // Inside a fold only the ways out remain.
                if (from != to ||
                    (edge.from == edge.to && !folded.boxes()[size_t(from)].foldedAnswer))
                    expected.append(QByteArray::number(from) + '>' + QByteArray::number(to));
            }
            QByteArrayList arrows;
            for (const FlowGraph::Edge &edge : folded.edges())
                arrows.append(QByteArray::number(edge.from) + '>' + QByteArray::number(edge.to));
            for (QByteArrayList *list : {&expected, &arrows}) {
                std::sort(list->begin(), list->end());
                list->erase(std::unique(list->begin(), list->end()), list->end());
            }
            QCOMPARE(arrows, expected);
        }
    }

    // Loops back to a choice from deep in its branches, and gotos between its sibling
    // branches, cross no other line.
    void gotosFindFreeWays_data()
    {
        QTest::addColumn<QByteArray>("gotos"); // "from>to" by the dialogs' texts
        QTest::newRow("back to the choice from deep") << QByteArray("deep>ask");
        QTest::newRow("back to the choice from each branch")
            << QByteArray("deep>ask wait>ask run>ask");
        QTest::newRow("between sibling branches") << QByteArray("fine>run wait>deep");
        QTest::newRow("back to the start from after the choice") << QByteArray("after>start");
    }
    void gotosFindFreeWays()
    {
        QFETCH(QByteArray, gotos);
        DialogTree tree;
        addOutline(tree, "Root\n"
                         "Dialog\n  Type = Text\n  Text = start\n"
                         "Dialog\n  Choice = 1\n    Text = ask\n"
                         "    Dialog\n      Type = Text\n      Text = fine\n"
                         "    Dialog\n      Choice = 1\n        Text = more\n"
                         "        Dialog\n          Type = Text\n          Text = deep\n"
                         "      Choice = 2\n        Text = less\n"
                         "  Choice = 2\n    Text = wait\n"
                         "    Dialog\n      Type = Text\n      Text = wait\n"
                         "  Choice = 3\n    Text = run\n"
                         "    Dialog\n      Type = Text\n      Text = run\n"
                         "Dialog\n  Type = Text\n  Text = after\n");
        tree.renumberDialogs();
        auto dialogSaying = [&tree](const QByteArray &text) -> DialogNode * {
            for (int i = 0; i < tree.count(); ++i) {
                if (tree.nodeAt(i)->text() == "Text = " + text)
                    return tree.nodeAt(i)->parent()->parent() && text == "ask"
                               ? tree.nodeAt(i)->parent()->parent()
                               : tree.nodeAt(i)->parent();
            }
            return nullptr;
        };
        for (const QByteArray &pair : gotos.split(' ')) {
            const QList<QByteArray> ends = pair.split('>');
            tree.addChild(dialogSaying(ends[0]),
                          NodeText::gotoDialog(DialogNumbers::numberOf(dialogSaying(ends[1]))));
        }
        const FlowGraph graph = FlowGraph::build(tree);
        const FlowLayout layout = FlowLayout::lay(graph);
        for (size_t e = 0; e < graph.edges().size(); ++e) {
            if (graph.edges()[e].kind != FlowGraph::EdgeKind::Goto)
                continue;
            QVERIFY(!legsOf(layout, e).empty());
            for (size_t other = 0; other < graph.edges().size(); ++other) {
                for (const QLineF &leg : legsOf(layout, e)) {
                    for (const QLineF &otherLeg : legsOf(layout, other))
                        QVERIFY2(other == e || !cross(leg, otherLeg),
                                 qPrintable(QStringLiteral("arrows %1 and %2").arg(e).arg(other)));
                }
            }
        }
    }
};

QTEST_APPLESS_MAIN(TestFlowGraph)
#include "test_flow_graph.moc"
