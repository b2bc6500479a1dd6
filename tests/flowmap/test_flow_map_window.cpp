#include "document/action_reference.h"
#include "document/dialog_edits.h"
#include "document/dialog_numbers.h"
#include "document/dialog_summary.h"
#include "document/node_text.h"
#include "flowmap/flow_box_text.h"
#include "flowmap/flow_map_commands.h"
#include "flowmap/flow_map_view.h"
#include "flowmap/flow_map_window.h"
#include "flowmap/flow_overview.h"
#include "flowmap/flow_painter.h"
#include "flowmap/flow_text_editor.h"
#include "persistence/dlg_file.h"
#include "review/review_commands.h"
#include "test_files.h"
#include "test_program.h"
#include "windows/dialog_tree_model.h"
#include "windows/dialog_tree_view.h"
#include "windows/undo_history.h"

#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>
#include <QUndoStack>

namespace {

// The graph without looking into the nodes, which may be gone when the map missed a change.
QByteArrayList signature(const FlowGraph &graph)
{
    QByteArrayList lines;
    for (const FlowGraph::Box &box : graph.boxes())
        lines.append(QByteArray::number(quintptr(box.dialog)) + ' ' +
                     QByteArray::number(box.number) + (box.choice ? " choice " : " text ") +
                     QByteArray::number(box.answers));
    for (const FlowGraph::Edge &edge : graph.edges())
        lines.append(QByteArray::number(int(edge.kind)) + ' ' + QByteArray::number(edge.from) +
                     '>' + QByteArray::number(edge.to));
    return lines;
}

std::vector<DialogNode *> dialogsOf(DialogTree &tree)
{
    std::vector<DialogNode *> dialogs;
    for (int i = 0; i < tree.count(); ++i) {
        if (NodeText::isDialog(tree.nodeAt(i)->text()))
            dialogs.push_back(tree.nodeAt(i));
    }
    return dialogs;
}

// The program with the flow story and its map open, the view at full size.
struct OpenMap
{
    OpenMap()
    {
        p.start();
        addFlowStory(p.mainWindow().document());
        review = p.mainWindow().findChild<ReviewCommands *>();
        review->flowMapAction->trigger();
        map = review->flowMapWindow();
        view = map->view();
        view->resize(900, 700);
        view->zoomBy(1 / view->zoom(), QPointF());
    }
    // The box of the dialog with that number.
    int boxOf(int number)
    {
        DialogTree &tree = p.mainWindow().document();
        return view->graph().boxOf(tree.nodeAt(DialogEdits(tree).indexOfDialog(number)));
    }

    TestProgram p;
    ReviewCommands *review = nullptr;
    FlowMapWindow *map = nullptr;
    FlowMapView *view = nullptr;
};

// The flow story, copies times over, saved to a file and opened, the bytes it saves as, and
// its map open.
struct OpenFile
{
    explicit OpenFile(int copies)
    {
        p.start();
        MainWindow &window = p.mainWindow();
        file = p.folder.filePath(QStringLiteral("story.dlg"));
        {
            DialogTree story;
            story.addRootNode();
            for (int copy = 0; copy < copies; ++copy)
                addFlowStory(story);
            DlgFile::save(story, file, {});
        }
        p.prompter.fileAnswers = {file};
        window.openAction->trigger();
        window.saveAction->trigger();
        original = TestFiles::read(file);
        auto *review = window.findChild<ReviewCommands *>();
        review->flowMapAction->trigger();
        view = review->flowMapWindow()->view();
    }

    TestProgram p;
    QString file;
    QByteArray original;
    FlowMapView *view = nullptr;
};

} // namespace

class TestFlowMapWindow : public QObject
{
    Q_OBJECT

private slots:
    // Through a random run of edits, undos and redos, then Open, the map and the tree's goto
    // hints always show the document as it is, and the map marks the selected dialog.
    void mapFollowsEveryChange()
    {
        OpenMap open;
        TestProgram &p = open.p;
        MainWindow &window = p.mainWindow();
        DialogTree &tree = window.document();
        ReviewCommands *review = open.review;
        FlowMapView *view = open.view;
        DialogTreeModel *model = window.treeView->dialogModel();
        window.addAtEndCheck->setChecked(true);

        auto *commands = review->flowMapWindow()->findChild<FlowMapCommands *>();

        QRandomGenerator random(20261209);
        for (int step = 0; step < 120; ++step) {
            const std::vector<DialogNode *> dialogs = dialogsOf(tree);
            DialogNode *some =
                dialogs.empty() ? nullptr : dialogs[random.bounded(quint32(dialogs.size()))];
            DialogNode *other =
                dialogs.empty() ? nullptr : dialogs[random.bounded(quint32(dialogs.size()))];
            // The map's own edits: words alone keep the map standing, the others rebuild it.
            if (some && random.bounded(2) == 0) {
                view->graph();
                switch (random.bounded(5)) {
                case 0:
                    commands->changeText(some, QStringLiteral("Said %1").arg(step));
                    break;
                case 1:
                    commands->setSpeaker(some, random.bounded(2) == 0);
                    break;
                case 2:
                    commands->addAfter(some, random.bounded(3) == 0);
                    break;
                case 3:
                    commands->addAnswer(some);
                    break;
                default:
                    commands->setGoto(some, random.bounded(4) ? other : nullptr);
                }
                p.prompter.shown.clear();
            } else {
                switch (random.bounded(7)) {
                case 0:
                    window.dialogTextEdit->setPlainText(QStringLiteral("Line %1").arg(step));
                    window.addDialogButton->click();
                    break;
                case 1:
                    window.selectNode(some);
                    window.gotoNumberField->setValue(1 +
                                                     int(random.bounded(int(dialogs.size()) + 2)));
                    emit window.addGotoButton->clicked();
                    break;
                case 2:
                    window.selectNode(some);
                    p.prompter.confirmAnswers = {true, true};
                    window.deleteSelectedButton->click();
                    p.prompter.confirmAnswers.clear();
                    break;
                case 3:
                    if (some)
                        model->setData(model->indexOf(some->child(some->childCount() - 1)),
                                       QStringLiteral("Goto = %1").arg(random.bounded(9)));
                    break;
                case 4:
                case 5:
                    window.undoAction->trigger();
                    break;
                default:
                    window.redoAction->trigger();
                }
            }
            const FlowGraph fresh = FlowGraph::build(tree);
            QCOMPARE(signature(view->graph()), signature(fresh));
            QCOMPARE(view->markedBox(), fresh.boxOf(window.selectedNode()));
            const DialogNumbers numbers(tree);
            for (int i = 0; i < tree.count(); ++i) {
                const ActionReference reference = ActionReference::parse(tree.nodeAt(i)->text());
                if (reference.kind == ActionReference::None)
                    continue;
                const DialogNode *target = numbers.find(reference.dialog);
                QCOMPARE(model->referenceHint(tree.nodeAt(i)),
                         target ? DialogSummary::glance(target, 48) : QStringLiteral("missing"));
            }
        }

        const QString file = p.folder.filePath(QStringLiteral("other.dlg"));
        DialogTree other;
        other.addRootNode();
        addFlowStory(other);
        DlgFile::save(other, file, {});
        window.Modified = false;
        p.prompter.fileAnswers = {file};
        window.openAction->trigger();
        QCOMPARE(signature(view->graph()), signature(FlowGraph::build(tree)));

        // A click on a box selects its dialog in the tree.
        view->resize(600, 600);
        view->zoomToFit();
        const int box = int(view->graph().boxes().size()) - 1;
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->viewportPointOf(box));
        QCOMPARE(window.selectedNode(), view->graph().boxes()[size_t(box)].dialog);
        QCOMPARE(view->markedBox(), box);
    }

    // Written in the map by keys alone: Home, Down, Enter, a new answer, Enter; Insert, a new
    // line, Enter; Delete. Each change shows in the tree at once, and undoing them all gives the
    // file's bytes back.
    void writingByKeysUndoesToTheSameBytes()
    {
        OpenFile open(1);
        TestProgram &p = open.p;
        MainWindow &window = p.mainWindow();
        FlowMapView *view = open.view;
        DialogTree &tree = window.document();

        QTest::keyClick(view, Qt::Key_Home);
        QCOMPARE(window.selectedNode()->text(), QByteArray("Dialog1"));
        QTest::keyClick(view, Qt::Key_Down);
        QCOMPARE(window.selectedNode()->text(), QByteArray("Dialog2"));
        // On a choice, Enter edits its first answer, the whole text selected.
        QTest::keyClick(view, Qt::Key_Return);
        FlowTextEditor *editor = view->textEditor();
        QVERIFY(editor->isVisible());
        QCOMPARE(editor->textCursor().selectedText(), QStringLiteral("Yes"));
        QTest::keyClicks(editor, QStringLiteral("Of course"));
        QTest::keyClick(editor, Qt::Key_Return);
        QVERIFY(!editor->isVisible());
        QCOMPARE(tree.nodeAt(7)->text(), QByteArray("Text = Of course"));

        // Insert: a dialog of the other speaker right after the choice, opened for writing.
        QTest::keyClick(view, Qt::Key_Insert);
        DialogNode *added = window.selectedNode();
        QVERIFY(editor->isVisible());
        QTest::keyClicks(editor, QStringLiteral("Two"));
        QTest::keyClick(editor, Qt::Key_Return, Qt::ShiftModifier);
        QTest::keyClicks(editor, QStringLiteral("lines"));
        QTest::keyClick(editor, Qt::Key_Return);
        QCOMPARE(added->text(), QByteArray("Dialog7"));
        QCOMPARE(added->previousSibling()->text(), QByteArray("Dialog2"));
        QCOMPARE(NodeText::childValue(added, "Speaker = "), QByteArray("Entity"));
        QCOMPARE(NodeText::childValue(added, "Text = "), QByteArray("Two\\nlines"));
        QCOMPARE(view->graph().boxes()[size_t(view->markedBox())].dialog, added);

        // Delete asks the tree's question.
        p.prompter.confirmAnswers = {true};
        QTest::keyClick(view, Qt::Key_Delete);
        QCOMPARE(p.prompter.confirmations().last(),
                 QStringLiteral("Do you really want to delete this dialog?"));
        QCOMPARE(tree.DialogCount(), 8);

        // One step each: the answer, the insertion, its text, the deletion.
        QCOMPARE(window.history().stack()->count(), 4);
        for (int step = 0; step < 4; ++step)
            window.undoAction->trigger();
        window.saveAction->trigger();
        QCOMPARE(TestFiles::read(open.file), open.original);
    }

    // A random run of the map's keys (Home and the arrows, Enter or F2 and a new text, Insert
    // and a line, Delete with its questions answered) with branches folded and unfolded
    // between them: the map always shows the document as it is with those folds, and undoing
    // every step gives the file's bytes back.
    void randomKeysUndoToTheSameBytes()
    {
        OpenFile open(3);
        TestProgram &p = open.p;
        MainWindow &window = p.mainWindow();
        FlowMapView *view = open.view;
        DialogTree &tree = window.document();

        static const Qt::Key moves[] = {Qt::Key_Home, Qt::Key_Down, Qt::Key_Up, Qt::Key_Left,
                                        Qt::Key_Right};
        std::vector<const DialogNode *> folds;
        QRandomGenerator random(20260405);
        int folded = 0;
        for (int step = 0; step < 120; ++step) {
            const QByteArray where = "step " + QByteArray::number(step);
            const int marked = view->markedBox();
            switch (random.bounded(14)) {
            case 0:
            case 1:
            case 2:
            case 3:
            case 4:
                QTest::keyClick(view, moves[random.bounded(5)]);
                break;
            case 5:
            case 6:
            case 7:
            case 8: {
                // Enter or F2 on a box, Insert after it: a new text written.
                static const Qt::Key writes[] = {Qt::Key_Return, Qt::Key_F2, Qt::Key_Insert};
                QTest::keyClick(view, writes[random.bounded(3)]);
                if (view->textEditor()->isVisible()) {
                    QTest::keyClicks(view->textEditor(), QStringLiteral("Said %1").arg(step));
                    QTest::keyClick(view->textEditor(), Qt::Key_Return);
                }
                break;
            }
            case 9:
                p.prompter.confirmAnswers = {true, true, true};
                QTest::keyClick(view, Qt::Key_Delete);
                p.prompter.confirmAnswers.clear();
                break;
            case 10:
            case 11: {
                // An answer of the marked box, or any answer with dialogs.
                const FlowGraph whole = FlowGraph::build(tree);
                std::vector<const DialogNode *> answers;
                for (const FlowGraph::Branch &branch : whole.branches()) {
                    if (branch.owner >= 0 && branch.first >= 0 &&
                        whole.boxes()[size_t(branch.owner)].choice)
                        answers.push_back(branch.parent);
                }
                const DialogNode *answer = marked >= 0 ? view->answerOf(marked) : nullptr;
                if (!answer && !answers.empty())
                    answer = answers[random.bounded(quint32(answers.size()))];
                if (answer && std::find(folds.begin(), folds.end(), answer) == folds.end()) {
                    folds.push_back(answer);
                    view->fold(answer);
                }
                break;
            }
            case 12:
                if (!folds.empty()) {
                    const size_t at = random.bounded(quint32(folds.size()));
                    view->unfold(folds[at]);
                    folds.erase(folds.begin() + std::ptrdiff_t(at));
                }
                break;
            default:
                window.undoAction->trigger();
            }
            QVERIFY2(!view->textEditor()->isVisible(), where.constData());
            // The folds of answers still in the document, as the map keeps them.
            const FlowGraph whole = FlowGraph::build(tree);
            std::erase_if(folds, [&whole](const DialogNode *answer) {
                return std::none_of(
                    whole.branches().begin(), whole.branches().end(),
                    [answer](const FlowGraph::Branch &branch) { return branch.parent == answer; });
            });
            QCOMPARE(signature(view->graph()), signature(whole.folded(folds)));
            folded += !folds.empty();
        }
        QVERIFY(folded > 40);
        while (window.history().stack()->canUndo())
            window.undoAction->trigger();
        window.saveAction->trigger();
        QCOMPARE(TestFiles::read(open.file), open.original);
    }

    // Reading the map: finding by text or number, a fold kept through edits until another
    // document, and a goto dragged from its handle onto a box and off every box.
    void findFoldAndDrag()
    {
        OpenMap open;
        MainWindow &window = open.p.mainWindow();
        DialogTree &tree = window.document();
        FlowMapView *view = open.view;
        auto boxOf = [&open](int number) { return open.boxOf(number); };

        QCOMPARE(view->find(QStringLiteral("fine")), 1);
        QCOMPARE(view->find(QStringLiteral("5")), 1);
        QCOMPARE(view->findNext(), 1);
        QCOMPARE(window.selectedNode()->text(), QByteArray("Dialog5"));
        view->clearFound();

        // Folding "Yes" hides Dialog3 to Dialog5 in one box; it stays through edits.
        view->fold(view->answerOf(boxOf(3)));
        const auto folded = [view] {
            for (const FlowGraph::Box &box : view->graph().boxes()) {
                if (box.foldedAnswer)
                    return FlowBoxText::heading(box);
            }
            return QString();
        };
        QCOMPARE(folded(), QStringLiteral("Dialog3-Dialog5, 3 dialogs"));
        window.dialogTextEdit->setPlainText(QStringLiteral("Later"));
        window.addAtEndCheck->setChecked(true);
        window.addDialogButton->click();
        QCOMPARE(folded(), QStringLiteral("Dialog3-Dialog5, 3 dialogs"));

        // With actions enabled, the selected box's goto handle drags its goto.
        window.enableActionsAction->setChecked(true);
        view->selectBox(boxOf(8));
        auto drag = [view, &boxOf](const QPoint &to) {
            const int bye = boxOf(8);
            const QRectF rect = view->layout().boxes()[size_t(bye)];
            const QPoint handle =
                view->viewportPointOf(bye) +
                ((FlowPainter::gotoHandle(rect).center() - rect.center()) * view->zoom()).toPoint();
            QTest::mousePress(view->viewport(), Qt::LeftButton, {}, handle);
            QTest::mouseMove(view->viewport(), to);
            QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, to);
        };
        drag(view->viewportPointOf(boxOf(1)));
        DialogNode *dialog8 = tree.nodeAt(DialogEdits(tree).indexOfDialog(8));
        QCOMPARE(dialog8->child(dialog8->childCount() - 1)->text(), QByteArray("Goto = 1"));
        drag(QPoint(view->viewport()->width() - 2, view->viewport()->height() - 2));
        QVERIFY(!DialogEdits::firstGoto(dialog8));

        window.Modified = false;
        window.newAction->trigger();
        addFlowStory(tree);
        QCOMPARE(folded(), QString());
    }

    // The arrow keys move along the flow: Down to what follows, Up back, Left and Right to the
    // nearest sibling branch with dialogs, outwards where the branch has none.
    void keysMoveAlongTheFlow_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("to");
        QTest::newRow("down a choice: its first answer") << 2 << int(Qt::Key_Down) << 3;
        QTest::newRow("down a goto") << 5 << int(Qt::Key_Down) << 1;
        QTest::newRow("up in a branch") << 4 << int(Qt::Key_Up) << 3;
        QTest::newRow("up from a branch: its choice") << 3 << int(Qt::Key_Up) << 2;
        QTest::newRow("right past an empty answer") << 3 << int(Qt::Key_Right) << 6;
        QTest::newRow("right from deeper: outwards") << 5 << int(Qt::Key_Right) << 6;
        QTest::newRow("left back") << 6 << int(Qt::Key_Left) << 3;
        QTest::newRow("left of the first: stays") << 3 << int(Qt::Key_Left) << 3;
    }
    void keysMoveAlongTheFlow()
    {
        QFETCH(int, from);
        QFETCH(int, key);
        QFETCH(int, to);
        OpenMap open;
        open.view->selectBox(open.boxOf(from));
        QTest::keyClick(open.view, Qt::Key(key));
        QCOMPARE(open.p.mainWindow().selectedNode()->text(), NodeText::dialog(to));
    }

    // Where a goto sets a choice's branches in another order than its answers, Left and Right
    // move between them as they stand on the map.
    void keysFollowTheBranchesAsTheyStand()
    {
        TestProgram p;
        p.start();
        DialogTree &tree = p.mainWindow().document();
        addOutline(tree, "Dialog\n  Type = Text\n  Text = start\n"
                         "Dialog\n  Choice = 1\n    Text = a\n"
                         "    Dialog\n      Type = Text\n      Text = a1\n"
                         "    Dialog\n      Type = Text\n      Text = a2\n      Goto = 6\n"
                         "  Choice = 2\n    Text = b\n"
                         "    Dialog\n      Type = Text\n      Text = b1\n"
                         "  Choice = 3\n    Text = c\n"
                         "    Dialog\n      Type = Text\n      Text = c1\n"
                         "Dialog\n  Type = Text\n  Text = after\n");
        tree.renumberDialogs();
        auto *review = p.mainWindow().findChild<ReviewCommands *>();
        review->flowMapAction->trigger();
        FlowMapView *view = review->flowMapWindow()->view();
        auto boxOf = [view, &tree](int number) {
            return view->graph().boxOf(tree.nodeAt(DialogEdits(tree).indexOfDialog(number)));
        };
        // The goto from a2 to c1 sets c beside a: a, c, b.
        QVERIFY(view->layout().columnOf(boxOf(6)) < view->layout().columnOf(boxOf(5)));
        view->selectBox(boxOf(3));
        for (const auto &[key, number] : {std::pair{Qt::Key_Right, 6},
                                          {Qt::Key_Right, 5},
                                          {Qt::Key_Left, 6},
                                          {Qt::Key_Left, 3}}) {
            QTest::keyClick(view, key);
            QCOMPARE(p.mainWindow().selectedNode()->text(), NodeText::dialog(number));
        }
    }

    // Escape leaves a text as it was, without a step; a double click on a choice's second
    // answer edits that answer; the box menu offers what fits the box and the commands handed
    // to it; the overview shows when the map does not fit and moves the view.
    void editorMenuAndOverview()
    {
        OpenMap open;
        MainWindow &window = open.p.mainWindow();
        DialogTree &tree = window.document();
        FlowMapWindow *map = open.map;
        FlowMapView *view = open.view;
        const int choice = open.boxOf(2);

        view->editText(0);
        QTest::keyClicks(view->textEditor(), QStringLiteral("Gone"));
        QTest::keyClick(view->textEditor(), Qt::Key_Escape);
        QCOMPARE(NodeText::childValue(tree.nodeAt(1), "Text = "), QByteArray("Hello"));
        QCOMPARE(window.history().stack()->count(), 0);
        const QRectF rect = view->layout().boxes()[size_t(choice)];
        const QPoint second = view->viewportPointOf(choice) +
                              QPointF(0, (rect.top() + FlowLayout::kPadding +
                                          2.5 * FlowLayout::kLineHeight - rect.center().y()) *
                                             view->zoom())
                                  .toPoint();
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, second);
        QCOMPARE(view->textEditor()->toPlainText(), QStringLiteral("No"));
        QTest::keyClick(view->textEditor(), Qt::Key_Escape);

        QStringList items;
        const std::unique_ptr<QMenu> menu(map->boxMenu(choice, 1));
        for (const QAction *action : menu->actions())
            items.append(action->text().section(u'\t', 0, 0));
        QVERIFY(items.contains(QStringLiteral("Edit answer 2")));
        QVERIFY(items.contains(QStringLiteral("Add answer")));
        QVERIFY(!items.contains(QStringLiteral("Set speaker")));
        QVERIFY(items.contains(QStringLiteral("Fold \"2. No\"")));
        for (const char *handed : {"Cu&t", "&Paste", "De&lete", "Read from &here"})
            QVERIFY2(items.contains(QString::fromLatin1(handed)), handed);

        auto *overview = view->findChild<FlowOverview *>();
        QVERIFY(!overview->isVisible());
        view->zoomBy(4, QPointF());
        QVERIFY(overview->isVisible());
        const int before = view->verticalScrollBar()->value();
        QTest::mouseClick(overview, Qt::LeftButton, {},
                          QPoint(overview->width() / 2, overview->height() - 3));
        QVERIFY(view->verticalScrollBar()->value() > before);
    }
};

QTEST_MAIN(TestFlowMapWindow)
#include "test_flow_map_window.moc"
