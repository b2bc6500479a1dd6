#include "document/node_text.h"
#include "document/tree_listing.h"
#include "editing/placement_window.h"
#include "fontgen/font_generator_window.h"
#include "program/modal_focus.h"
#include "program/talmero_app.h"
#include "recording_shell.h"
#include "scripted_prompter.h"
#include "shell/about_window.h"
#include "shell/options_window.h"
#include "test_program.h"
#include "windows/dialog_tree_model.h"
#include "windows/dialog_tree_view.h"
#include "windows/main_window.h"
#include "windows/undo_history.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

namespace {

const QString kCloseQuestion =
    QStringLiteral("Dialog has been changed!\n\rDo you want to quit without saving?");

struct Program : TestProgram
{
    explicit Program(const QStringList &arguments = {}) { start(arguments); }

    // A text dialog built the way the add command builds one.
    DialogNode *addDialog(const QByteArray &text)
    {
        return addTextDialog(form().document(), nullptr, text);
    }
};

QPoint centreOf(DialogTreeView *view, DialogNode *node)
{
    return view->visualRect(view->dialogModel()->indexOf(node)).center();
}

} // namespace

class TestApp : public QObject
{
    Q_OBJECT

private slots:
    // With no window manager to do it, the window below a closed modal box takes the keys
    // again: the one still open, else the main window.
    void closedModalWindowHandsTheKeysBack()
    {
        Program program;
        program.start();
        TForm1 &form = program.form();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QApplication::instance()->installEventFilter(new ModalFocus(&form));
        QDialog outer(&form);
        outer.setModal(true);
        outer.show();
        QDialog inner(&outer);
        inner.setModal(true);
        inner.show();
        inner.activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), &inner);
        inner.hide();
        QTRY_COMPARE(QApplication::activeWindow(), &outer);
        outer.hide();
        QTRY_COMPARE(QApplication::activeWindow(), &form);
    }

    void startsWithBoldRootOnly()
    {
        Program program;
        TForm1 &form = program.form();
        QCOMPARE(form.windowTitle(), QStringLiteral("Talmero Basic"));
        QCOMPARE(TreeListing::outline(form.document()), QByteArray("Root\n"));
        DialogNode *root = form.document().nodeAt(0);
        QVERIFY(root->isBold());
        QCOMPARE(root->imageIndex(), 3);
        QCOMPARE(form.document().DialogCount(), 0);
        QVERIFY(!form.Modified);
        QVERIFY(form.CurrentFileName.isEmpty());
        QCOMPARE(form.SearchPosition, -1);
        QVERIFY(form.PlaceMode.isEmpty());
        QCOMPARE(form.OpenDialog2.initialFolder,
                 program.folder.path() + QStringLiteral("/Configs/"));
        // Showing the window gives the tree the focus; that selects nothing.
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.activateWindow();
        form.TreeView1->setFocus();
        QVERIFY(!form.selectedNode());
        QVERIFY(!form.Modified);
        QVERIFY(form.close());
        QVERIFY(program.prompter.shown.isEmpty());
    }

    void windowsAreCreatedWithTheirCaptions()
    {
        Program program;
        QCOMPARE(program.app->placementWindow().windowTitle(),
                 QStringLiteral("Place dialog / decision"));
        QCOMPARE(program.app->fontGenerator().windowTitle(), QStringLiteral("Font generator"));
        QCOMPARE(program.app->aboutWindow().windowTitle(), QStringLiteral("About"));
        QCOMPARE(program.app->optionsWindow().windowTitle(), QStringLiteral("Options"));
        QVERIFY(!program.app->placementWindow().isVisible());
    }

    void closeAsksOnlyWhenModified()
    {
        Program program;
        TForm1 &form = program.form();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        // A click that selects a node marks the document changed.
        DialogTreeView *tree = form.TreeView1;
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                          centreOf(tree, form.document().nodeAt(0)));
        QCOMPARE(form.selectedNode(), form.document().nodeAt(0));
        QVERIFY(form.Modified);

        program.prompter.confirmAnswers = {false};
        QVERIFY(!form.close());
        QVERIFY(form.isVisible());
        QCOMPARE(program.prompter.confirmations(), QStringList{kCloseQuestion});

        program.prompter.confirmAnswers = {true};
        QVERIFY(form.close());
        QCOMPARE(program.prompter.confirmations().size(), 2);
    }

    void onlyTheLeftButtonSelects()
    {
        Program program;
        TForm1 &form = program.form();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        DialogNode *dialog = program.addDialog("Hello");
        DialogTreeView *tree = form.TreeView1;
        int clicks = 0;
        connect(tree, &DialogTreeView::clickedAnywhere, this, [&clicks] { ++clicks; });
        QTest::mouseClick(tree->viewport(), Qt::RightButton, {}, centreOf(tree, dialog));
        QTest::mouseClick(tree->viewport(), Qt::MiddleButton, {}, centreOf(tree, dialog));
        QVERIFY(!form.selectedNode());
        QVERIFY(!form.Modified);
        QCOMPARE(clicks, 0);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, centreOf(tree, dialog));
        QCOMPARE(form.selectedNode(), dialog);
        QCOMPARE(clicks, 1);
    }

    void selectionChangeResetsSearchAndMarksChanged()
    {
        Program program;
        TForm1 &form = program.form();
        DialogNode *dialog = program.addDialog("Hello");
        QVERIFY(!form.Modified); // adding by itself leaves the flag to the commands
        form.SearchPosition = 3;
        form.selectNode(dialog->child(1));
        QVERIFY(form.Modified);
        QCOMPARE(form.SearchPosition, -1);
        QCOMPARE(form.selectedNode(), dialog->child(1));
    }

    void nodesCannotBeCollapsed()
    {
        Program program;
        TForm1 &form = program.form();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        DialogNode *dialog = program.addDialog("Hello");
        DialogTreeView *tree = form.TreeView1;
        const QModelIndex index = tree->dialogModel()->indexOf(dialog);
        QVERIFY(shownOpen(*tree, dialog));

        form.selectNode(dialog);
        QTest::keyClick(tree, Qt::Key_Left);
        QTest::keyClick(tree, Qt::Key_Minus);
        QVERIFY(shownOpen(*tree, dialog));
        // The branch mark left of the node.
        const QRect rect = tree->visualRect(index);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                          QPoint(rect.left() - tree->indentation() / 2, rect.center().y()));
        QVERIFY(shownOpen(*tree, dialog));
        tree->collapse(index);
        QVERIFY(shownOpen(*tree, dialog));
    }

    void additionsExpandTheRoot()
    {
        Program program;
        TForm1 &form = program.form();
        DialogTree &tree = form.document();
        DialogNode *config = tree.addChild(tree.nodeAt(0), NodeText::config("x.ini"));
        QVERIFY(shownOpen(*form.TreeView1, tree.nodeAt(0)));
        QCOMPARE(config->parent(), tree.nodeAt(0));
    }

    void treeModelIsConsistent()
    {
        Program program;
        TForm1 &form = program.form();
        QAbstractItemModelTester tester(form.TreeView1->dialogModel(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        DialogTree &tree = form.document();
        DialogNode *a = program.addDialog("a");
        DialogNode *b = program.addDialog("b");
        tree.setDialogCount(tree.DialogCount() + 1);
        DialogNode *choice = tree.addSibling(nullptr, NodeText::dialog(tree.DialogCount()));
        DialogNode *answer = tree.addChild(tree.addChild(choice, "Choice = 1"), "Text = yes");
        tree.moveBefore(b, a);
        tree.moveBefore(a, answer);
        tree.setText(b, "Renamed");
        tree.refreshlist();
        tree.remove(choice);
        tree.removeIf([](const DialogNode *n) { return n->text().startsWith("Type"); });
        QCOMPARE(TreeListing::outline(tree), QByteArray("Root\nRenamed\n  Speaker = Player\n"
                                                        "  Text = b\n"));
        QCOMPARE(form.TreeView1->dialogModel()->rowCount(), tree.count());
    }

    // Through random edits, undos and redos, the view has one row per node in tree order, each
    // indented by its level, and an index kept across a step still names its node.
    void viewRowsFollowRandomEdits()
    {
        Program program;
        TForm1 &form = program.form();
        form.show();
        DialogTreeView *view = form.TreeView1;
        DialogTreeModel *model = view->dialogModel();
        QAbstractItemModelTester tester(model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        DialogTree &tree = form.document();
        for (const char *text : {"a", "b", "c"})
            program.addDialog(text);
        QRandomGenerator random(20261208);
        auto pick = [&] { return tree.nodeAt(int(random.bounded(quint32(tree.count())))); };
        for (int step = 0; step < 400; ++step) {
            std::vector<std::pair<QPersistentModelIndex, const DialogNode *>> kept;
            for (int i = 0; i < tree.count(); i += 3)
                kept.emplace_back(model->indexOf(tree.nodeAt(i)), tree.nodeAt(i));
            const quint32 what = random.bounded(7u);
            if (what == 5) {
                form.undoAction->trigger();
            } else if (what == 6) {
                form.redoAction->trigger();
            } else {
                EditStep edit(form.history(), QStringLiteral("Random"));
                DialogNode *node = pick();
                switch (what) {
                case 0:
                    tree.addChild(node, "Text = x");
                    break;
                case 1:
                    tree.moveBefore(node, pick());
                    break;
                case 2:
                    if (tree.count() > 8)
                        tree.remove(node);
                    break;
                case 3:
                    tree.setText(node, random.bounded(2u) ? "Dialog" : "Goto = 1");
                    break;
                default:
                    tree.addSibling(node, "Dialog");
                    break;
                }
            }
            QCOMPARE(model->rowCount(), tree.count());
            for (int row = 0; row < tree.count(); ++row) {
                const DialogNode *node = tree.nodeAt(row);
                const QModelIndex index = model->index(row, 0);
                QCOMPARE(model->node(index), node);
                QCOMPARE(view->visualRect(index).left(),
                         view->columnViewportPosition(0) +
                             (node->level() + 1) * view->indentation());
            }
            for (const auto &[index, node] : kept) {
                QCOMPARE(index.isValid() ? model->node(index) : nullptr,
                         tree.contains(node) ? node : nullptr);
                QCOMPARE(model->indexOf(node).isValid(), tree.contains(node));
            }
        }
    }

    void renamingInPlaceKeepsTheText()
    {
        Program program;
        TForm1 &form = program.form();
        DialogNode *dialog = program.addDialog("x");
        DialogTreeModel *model = form.TreeView1->dialogModel();
        QVERIFY(model->flags(model->indexOf(dialog)) & Qt::ItemIsEditable);
        QVERIFY(model->setData(model->indexOf(dialog), QStringLiteral("Dialog9 caf\u00e9")));
        QCOMPARE(dialog->text(), QByteArray("Dialog9 caf\xe9"));
        QVERIFY(model->setData(model->indexOf(dialog), QString()));
        QCOMPARE(dialog->text(), QByteArray());
    }

    void layoutHasEveryControl()
    {
        Program program;
        TForm1 &form = program.form();
        const char *names[] = {
            "TreeView1",     "Edit1",        "SpeedButton13", "GroupBox2",     "Memo1",
            "RadioButton1",  "RadioButton2", "CheckBox3",     "SpeedButton7",  "GroupBox3",
            "ListView1",     "SpeedButton8", "SpeedButton9",  "SpeedButton10", "Edit5",
            "SpeedButton11", "PageControl1", "GroupBox4",     "ComboBox1",     "ComboBox3",
            "Edit7",         "SpeedButton1", "GroupBox6",     "ComboBox2",     "SpeedButton2",
            "GroupBox7",     "SpinEdit1",    "SpeedButton3",  "GroupBox8",     "SpinEdit2",
            "SpinEdit3",     "SpeedButton4", "GroupBox1",     "Edit3",         "SpeedButton12",
            "SpeedButton14", "SpeedButton6", "SpeedButton5"};
        for (const char *name : names)
            QVERIFY2(form.findChild<QWidget *>(QLatin1String(name)), name);

        const QList<QPair<const char *, QString>> hints = {
            {"SpeedButton7", QStringLiteral("Add dialog")},
            {"SpeedButton8", QStringLiteral("Add choice")},
            {"SpeedButton9", QStringLiteral("Remove choice")},
            {"SpeedButton10", QStringLiteral("Clear choices")},
            {"SpeedButton11", QStringLiteral("Add decision")},
            {"SpeedButton1", QStringLiteral("Add decision")},
            {"SpeedButton2", QStringLiteral("Add decision")},
            {"SpeedButton3", QStringLiteral("Add decision")},
            {"SpeedButton4", QStringLiteral("Add decision")},
            {"SpeedButton13", QStringLiteral("Update selected")},
            {"SpeedButton14", QStringLiteral("Delete selected")},
            {"SpeedButton12", QStringLiteral("Search")},
            {"SpeedButton6", QStringLiteral("Generate Project")},
            {"SpeedButton5", QStringLiteral("")}};
        for (const auto &[name, hint] : hints)
            QCOMPARE(form.findChild<QToolButton *>(QLatin1String(name))->toolTip(), hint);

        QCOMPARE(form.GroupBox2->title(), QStringLiteral(" Add dialog "));
        QCOMPARE(form.GroupBox3->title(), QStringLiteral("Add decision "));
        QCOMPARE(form.GroupBox1->title(), QStringLiteral(" Search "));
        QVERIFY(form.RadioButton1->isChecked());
        QVERIFY(form.CheckBox3->isChecked());
        QCOMPARE(form.ListView1->headerItem()->text(0), QStringLiteral("Choice"));
        QCOMPARE(form.ListView1->headerItem()->text(1), QStringLiteral("Text"));
        QCOMPARE(form.ListView1->columnWidth(1), 315);

        QCOMPARE(form.PageControl1->count(), 4);
        const QStringList tabs = {QStringLiteral("Variable operation"),
                                  QStringLiteral("Function call"), QStringLiteral("Goto"),
                                  QStringLiteral("Delete")};
        for (int i = 0; i < 4; ++i)
            QCOMPARE(form.PageControl1->tabText(i), tabs[i]);
        QCOMPARE(form.PageControl1->currentIndex(), 0);
        for (QGroupBox *group : {form.GroupBox4, form.GroupBox6, form.GroupBox7, form.GroupBox8})
            QVERIFY(!group->isEnabled());
        QCOMPARE(form.GroupBox8->title(), QStringLiteral(" Delete dialog / choice "));
        QCOMPARE(form.ComboBox3->currentText(), QStringLiteral("Short"));
        QCOMPARE(form.ComboBox3->count(), 3);
        QCOMPARE(form.SpinEdit1->maximum(), 9999);
        QVERIFY(!form.SpinEdit2->isEnabled());
        QCOMPARE(form.SpinEdit3->value(), 1);
        QCOMPARE(form.TreeView1->indentation(), 19);
    }

    void menusCarryTheirShortcuts()
    {
        Program program;
        TForm1 &form = program.form();
        const QList<QPair<QAction *, QString>> entries = {
            {form.New1, QStringLiteral("&New...")},
            {form.Open1, QStringLiteral("&Open...")},
            {form.Save1, QStringLiteral("&Save")},
            {form.SaveAs1, QStringLiteral("Save &As...")},
            {form.Exit1, QStringLiteral("&Close")},
            {form.Edit4, QStringLiteral("Change config file...")},
            {form.Options1, QStringLiteral("Program Options...")},
            {form.Open4, QStringLiteral("&Font generator")},
            {form.About1, QStringLiteral("&About")}};
        for (const auto &[action, text] : entries)
            QCOMPARE(action->text(), text);
        QCOMPARE(form.New1->shortcut(), QKeySequence(QStringLiteral("Ctrl+N")));
        QCOMPARE(form.Open1->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
        QCOMPARE(form.Save1->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
        QVERIFY(form.SaveAs1->shortcut().isEmpty());
        QCOMPARE(form.Edit4->shortcut(), QKeySequence(QStringLiteral("Ctrl+E")));
        QCOMPARE(form.Options1->shortcut(), QKeySequence(QStringLiteral("Ctrl+P")));
        QCOMPARE(form.Open4->shortcut(), QKeySequence(QStringLiteral("Ctrl+F")));

        QStringList menus;
        for (QAction *action : form.menuBar()->actions())
            menus << action->text();
        QCOMPARE(menus, QStringList({QStringLiteral("&File"), QStringLiteral("&Edit"),
                                     QStringLiteral("O&ptions"), QStringLiteral("&Tools"),
                                     QStringLiteral("&About")}));
        QCOMPARE(form.undoAction->shortcut(), QKeySequence(QStringLiteral("Ctrl+Z")));
        QCOMPARE(form.redoAction->shortcuts(),
                 QList<QKeySequence>({QKeySequence(QStringLiteral("Ctrl+Y")),
                                      QKeySequence(QStringLiteral("Ctrl+Shift+Z"))}));
        QVERIFY(!form.undoAction->isEnabled());
        QCOMPARE(form.OpenRecent1->title(), QStringLiteral("Open &Recent"));
        QCOMPARE(form.OpenRecent1->actions().size(), 5);
        for (QAction *slot : form.OpenRecent1->actions())
            QCOMPARE(slot->text(), QStringLiteral("empty"));
        QCOMPARE(form.OpenRecent1->actions().first(), form.N4);
        QCOMPARE(form.OpenRecent1->actions().last(), form.empty4);
    }

    void treeHasItsDesignedSize()
    {
        Program program;
        TForm1 &form = program.form();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.centralWidget()->size(), QSize(912, 606));
        QCOMPARE(form.TreeView1->size(), QSize(473, 553));
    }
};

QTEST_MAIN(TestApp)
#include "test_main_window.moc"
