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
#include "windows/window_places.h"

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
#include <QPlainTextEdit>
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
        return addTextDialog(mainWindow().document(), nullptr, text);
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
        MainWindow &form = program.mainWindow();
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
        MainWindow &form = program.mainWindow();
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
        QCOMPARE(form.configOpenDialog.initialFolder,
                 program.folder.path() + QStringLiteral("/Configs/"));
        // Showing the window gives the tree the focus; that selects nothing.
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.activateWindow();
        form.treeView->setFocus();
        QVERIFY(!form.selectedNode());
        QVERIFY(!form.Modified);
        QVERIFY(form.close());
        QVERIFY(program.prompter.shown.isEmpty());
        // Nothing was set, so no settings were written.
        const QString settings = program.appData.filePath(QStringLiteral("talmero/talmero.ini"));
        QVERIFY(!QFile::exists(settings));

        // A window made larger reopens as large.
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTest::qWait(10);
        form.resize(form.size() + QSize(40, 30));
        QVERIFY(form.close());
        QVERIFY(QFile::exists(settings));
        MainWindow again(ProgramFolder(program.folder.path()), program.prompter, program.shell);
        WindowPlaces::keep(&again);
        QCOMPARE(again.size(), form.size());
    }

    void windowsAreCreatedWithTheirCaptions()
    {
        Program program;
        TalmeroApp &app = *program.app;
        // Each window keeps the object name it is known by outside the code.
        const QList<std::tuple<QWidget *, QString, const char *>> windows = {
            {&app.mainWindow(), QStringLiteral("Talmero Basic"), "TForm1"},
            {&app.placementWindow(), QStringLiteral("Place dialog / decision"), "TForm2"},
            {&app.fontGeneratorWindow(), QStringLiteral("Font generator"), "TForm5"},
            {&app.aboutWindow(), QStringLiteral("About"), "TForm7"},
            {&app.optionsWindow(), QStringLiteral("Options"), "TForm8"}};
        for (const auto &[window, title, name] : windows) {
            QCOMPARE(window->windowTitle(), title);
            QCOMPARE(window->objectName(), QLatin1String(name));
        }
        QVERIFY(!program.app->placementWindow().isVisible());
    }

    void closeAsksOnlyWhenModified()
    {
        Program program;
        MainWindow &form = program.mainWindow();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        // A click that selects a node marks the document changed.
        DialogTreeView *tree = form.treeView;
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
        MainWindow &form = program.mainWindow();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        DialogNode *dialog = program.addDialog("Hello");
        DialogTreeView *tree = form.treeView;
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
        MainWindow &form = program.mainWindow();
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
        MainWindow &form = program.mainWindow();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        DialogNode *dialog = program.addDialog("Hello");
        DialogTreeView *tree = form.treeView;
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
        MainWindow &form = program.mainWindow();
        DialogTree &tree = form.document();
        DialogNode *config = tree.addChild(tree.nodeAt(0), NodeText::config("x.ini"));
        QVERIFY(shownOpen(*form.treeView, tree.nodeAt(0)));
        QCOMPARE(config->parent(), tree.nodeAt(0));
    }

    void treeModelIsConsistent()
    {
        Program program;
        MainWindow &form = program.mainWindow();
        QAbstractItemModelTester tester(form.treeView->dialogModel(),
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
        tree.renumberDialogs();
        tree.remove(choice);
        tree.removeIf([](const DialogNode *n) { return n->text().startsWith("Type"); });
        QCOMPARE(TreeListing::outline(tree), QByteArray("Root\nRenamed\n  Speaker = Player\n"
                                                        "  Text = b\n"));
        QCOMPARE(form.treeView->dialogModel()->rowCount(), tree.count());
    }

    // Through random edits, undos and redos, the view has one row per node in tree order, each
    // indented by its level, and an index kept across a step still names its node.
    void viewRowsFollowRandomEdits()
    {
        Program program;
        MainWindow &form = program.mainWindow();
        form.show();
        DialogTreeView *view = form.treeView;
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
        MainWindow &form = program.mainWindow();
        DialogNode *dialog = program.addDialog("x");
        DialogTreeModel *model = form.treeView->dialogModel();
        QVERIFY(model->flags(model->indexOf(dialog)) & Qt::ItemIsEditable);
        QVERIFY(model->setData(model->indexOf(dialog), QStringLiteral("Dialog9 caf\u00e9")));
        QCOMPARE(dialog->text(), QByteArray("Dialog9 caf\xe9"));
        QVERIFY(model->setData(model->indexOf(dialog), QString()));
        QCOMPARE(dialog->text(), QByteArray());
    }

    void layoutHasEveryControl()
    {
        Program program;
        MainWindow &form = program.mainWindow();
        // Every control carries the object name it is known by outside the code.
        const QList<QPair<QWidget *, const char *>> named = {
            {form.treeView, "TreeView1"},
            {form.nodeTextField, "Edit1"},
            {form.updateSelectedButton, "SpeedButton13"},
            {form.addDialogGroup, "GroupBox2"},
            {form.dialogTextEdit, "Memo1"},
            {form.playerSpeakingRadio, "RadioButton1"},
            {form.entitySpeakingRadio, "RadioButton2"},
            {form.addAtEndCheck, "CheckBox3"},
            {form.addDialogButton, "SpeedButton7"},
            {form.addDecisionGroup, "GroupBox3"},
            {form.answerTable, "ListView1"},
            {form.addAnswerButton, "SpeedButton8"},
            {form.removeAnswerButton, "SpeedButton9"},
            {form.clearAnswersButton, "SpeedButton10"},
            {form.answerTextField, "Edit5"},
            {form.addDecisionButton, "SpeedButton11"},
            {form.actionTabs, "PageControl1"},
            {form.variableGroup, "GroupBox4"},
            {form.variableNameCombo, "ComboBox1"},
            {form.variableTypeCombo, "ComboBox3"},
            {form.variableValueField, "Edit7"},
            {form.addVariableButton, "SpeedButton1"},
            {form.callGroup, "GroupBox6"},
            {form.functionCallCombo, "ComboBox2"},
            {form.addCallButton, "SpeedButton2"},
            {form.gotoGroup, "GroupBox7"},
            {form.gotoNumberField, "SpinEdit1"},
            {form.addGotoButton, "SpeedButton3"},
            {form.deleteGroup, "GroupBox8"},
            {form.deleteChoiceField, "SpinEdit2"},
            {form.deleteDialogField, "SpinEdit3"},
            {form.addDeleteButton, "SpeedButton4"},
            {form.searchGroup, "GroupBox1"},
            {form.searchField, "Edit3"},
            {form.searchButton, "SpeedButton12"},
            {form.deleteSelectedButton, "SpeedButton14"},
            {form.generateProjectButton, "SpeedButton6"},
            {form.saveChangesButton, "SpeedButton5"}};
        for (const auto &[control, name] : named)
            QVERIFY2(form.findChild<QWidget *>(QLatin1String(name)) == control, name);

        const QList<QPair<QToolButton *, QString>> hints = {
            {form.addDialogButton, QStringLiteral("Add dialog")},
            {form.addAnswerButton, QStringLiteral("Add choice")},
            {form.removeAnswerButton, QStringLiteral("Remove choice")},
            {form.clearAnswersButton, QStringLiteral("Clear choices")},
            {form.addDecisionButton, QStringLiteral("Add decision")},
            {form.addVariableButton, QStringLiteral("Add decision")},
            {form.addCallButton, QStringLiteral("Add decision")},
            {form.addGotoButton, QStringLiteral("Add decision")},
            {form.addDeleteButton, QStringLiteral("Add decision")},
            {form.updateSelectedButton, QStringLiteral("Update selected")},
            {form.deleteSelectedButton, QStringLiteral("Delete selected")},
            {form.searchButton, QStringLiteral("Search")},
            {form.generateProjectButton, QStringLiteral("Generate Project")},
            {form.saveChangesButton, QStringLiteral("")}};
        for (const auto &[button, hint] : hints)
            QCOMPARE(button->toolTip(), hint);

        QCOMPARE(form.addDialogGroup->title(), QStringLiteral(" Add dialog "));
        QCOMPARE(form.addDecisionGroup->title(), QStringLiteral("Add decision "));
        QCOMPARE(form.searchGroup->title(), QStringLiteral(" Search "));
        QVERIFY(form.playerSpeakingRadio->isChecked());
        QVERIFY(form.addAtEndCheck->isChecked());
        QCOMPARE(form.answerTable->headerItem()->text(0), QStringLiteral("Choice"));
        QCOMPARE(form.answerTable->headerItem()->text(1), QStringLiteral("Text"));
        QCOMPARE(form.answerTable->columnWidth(1), 315);

        QCOMPARE(form.actionTabs->count(), 4);
        const QStringList tabs = {QStringLiteral("Variable operation"),
                                  QStringLiteral("Function call"), QStringLiteral("Goto"),
                                  QStringLiteral("Delete")};
        for (int i = 0; i < 4; ++i)
            QCOMPARE(form.actionTabs->tabText(i), tabs[i]);
        QCOMPARE(form.actionTabs->currentIndex(), 0);
        for (QGroupBox *group :
             {form.variableGroup, form.callGroup, form.gotoGroup, form.deleteGroup})
            QVERIFY(!group->isEnabled());
        QCOMPARE(form.deleteGroup->title(), QStringLiteral(" Delete dialog / choice "));
        QCOMPARE(form.variableTypeCombo->currentText(), QStringLiteral("Short"));
        QCOMPARE(form.variableTypeCombo->count(), 3);
        QCOMPARE(form.gotoNumberField->maximum(), 9999);
        QVERIFY(!form.deleteChoiceField->isEnabled());
        QCOMPARE(form.deleteDialogField->value(), 1);
        QCOMPARE(form.treeView->indentation(), 19);
    }

    void menusCarryTheirShortcuts()
    {
        Program program;
        MainWindow &form = program.mainWindow();
        const QList<QPair<QAction *, QString>> entries = {
            {form.newAction, QStringLiteral("&New...")},
            {form.openAction, QStringLiteral("&Open...")},
            {form.saveAction, QStringLiteral("&Save")},
            {form.saveAsAction, QStringLiteral("Save &As...")},
            {form.closeAction, QStringLiteral("&Close")},
            {form.changeConfigAction, QStringLiteral("Change config file...")},
            {form.programOptionsAction, QStringLiteral("Program Options...")},
            {form.fontGeneratorAction, QStringLiteral("&Font generator")},
            {form.aboutAction, QStringLiteral("&About")}};
        for (const auto &[action, text] : entries)
            QCOMPARE(action->text(), text);
        QCOMPARE(form.newAction->shortcut(), QKeySequence(QStringLiteral("Ctrl+N")));
        QCOMPARE(form.openAction->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
        QCOMPARE(form.saveAction->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
        QVERIFY(form.saveAsAction->shortcut().isEmpty());
        QCOMPARE(form.changeConfigAction->shortcut(), QKeySequence(QStringLiteral("Ctrl+E")));
        QCOMPARE(form.programOptionsAction->shortcut(), QKeySequence(QStringLiteral("Ctrl+P")));
        QCOMPARE(form.fontGeneratorAction->shortcut(), QKeySequence(QStringLiteral("Ctrl+F")));

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
        // The menu bar holds what the tree's menu holds: the edits in the Edit menu, the reading
        // in the Tools menu.
        const QMenu *edit = form.menuBar()->actions().at(1)->menu();
        const QMenu *tools = form.menuBar()->actions().at(3)->menu();
        for (const QAction *item : form.treeMenu->actions())
            QVERIFY2(item->isSeparator() || edit->actions().contains(item) ||
                         tools->actions().contains(item),
                     qPrintable(item->text()));
        QCOMPARE(form.openRecentMenu->title(), QStringLiteral("Open &Recent"));
        QCOMPARE(form.openRecentMenu->actions().size(), 5);
        for (QAction *slot : form.openRecentMenu->actions())
            QCOMPARE(slot->text(), QStringLiteral("empty"));
        QCOMPARE(form.openRecentMenu->actions().first(), form.recentFileActions[0]);
        QCOMPARE(form.openRecentMenu->actions().last(), form.recentFileActions[4]);
    }

    void treeHasItsDesignedSize()
    {
        Program program;
        MainWindow &form = program.mainWindow();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.centralWidget()->size(), QSize(912, 606));
        QCOMPARE(form.treeView->size(), QSize(473, 553));
    }
};

QTEST_MAIN(TestApp)
#include "test_main_window.moc"
