#include "document/node_text.h"
#include "document/tree_listing.h"
#include "editing/drop_command.h"
#include "platform/ansi.h"
#include "program/talmero_app.h"
#include "recording_shell.h"
#include "scripted_prompter.h"
#include "test_program.h"
#include "windows/dialog_tree_model.h"
#include "windows/dialog_tree_view.h"
#include "windows/main_window.h"

#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QMimeData>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

namespace {

struct Program : TestProgram
{
    Program() { start(); }
    DialogTree &tree() { return mainWindow().document(); }
    DialogTreeView *view() { return mainWindow().treeView; }
    QByteArray outline() { return TreeListing::outline(tree()); }

    // The first node in pre-order with exactly this text.
    DialogNode *find(const QByteArray &text)
    {
        for (int i = 0; i < tree().count(); ++i) {
            if (tree().nodeAt(i)->text() == text)
                return tree().nodeAt(i);
        }
        qFatal("no node %s", text.constData());
    }
    // The nth child of the node with this text.
    DialogNode *childOf(const QByteArray &text, int row) { return find(text)->child(row); }

    // Selects a node and forgets the change mark and the boxes shown so far.
    void select(DialogNode *node)
    {
        mainWindow().selectNode(node);
        mainWindow().Modified = false;
        prompter.clear();
    }
    QRect rectOf(const DialogNode *node)
    {
        return view()->visualRect(view()->dialogModel()->indexOf(node));
    }
    void showWindow()
    {
        mainWindow().show();
        QVERIFY(QTest::qWaitForWindowExposed(&mainWindow()));
    }

    // A text dialog as the add command makes it: the provisional number, then three children.
    DialogNode *textDialog(DialogNode *parent, const QByteArray &text,
                           const QByteArray &speaker = "Player")
    {
        tree().setDialogCount(tree().DialogCount() + 1);
        DialogNode *dialog = tree().addChild(parent, NodeText::dialog(tree().DialogCount()));
        tree().addChild(dialog, NodeText::typeText());
        tree().addChild(dialog, NodeText::speaker(speaker));
        tree().addChild(dialog, NodeText::text(text));
        return dialog;
    }
    DialogNode *choiceDialog(DialogNode *parent, const QList<QByteArray> &answers)
    {
        tree().setDialogCount(tree().DialogCount() + 1);
        DialogNode *dialog = tree().addChild(parent, NodeText::dialog(tree().DialogCount()));
        for (int i = 0; i < answers.size(); ++i) {
            DialogNode *choice =
                tree().addChild(dialog, NodeText::choice(QByteArray::number(i + 1)));
            tree().addChild(choice, NodeText::text(answers[i]));
        }
        return dialog;
    }

    // Root with its configuration node; Dialog1 a text dialog with a goto; Dialog2 a choice
    // dialog whose first choice holds Dialog3; Dialog4 a text dialog.
    void buildStandardTree()
    {
        tree().addChild(tree().firstNode(), NodeText::config("c.ini"));
        DialogNode *first = textDialog(nullptr, "Hello");
        tree().addChild(first, NodeText::gotoDialog(4));
        DialogNode *choices = choiceDialog(nullptr, {"Yes", "No"});
        textDialog(choices->child(0), "Fine", "Entity");
        textDialog(nullptr, "Bye");
        tree().renumberDialogs();
    }
};

// An outline written on one line, its lines separated by "|".
QByteArray lines(const char *text)
{
    return QByteArray(text).replace('|', '\n') + '\n';
}

const QByteArray kStandardOutline =
    lines("Root|  Config = c.ini|Dialog1|  Type = Text"
          "|  Speaker = Player|  Text = Hello|  Goto = 4|Dialog2"
          "|  Choice = 1|    Text = Yes|    Dialog3|      Type = Text"
          "|      Speaker = Entity|      Text = Fine|  Choice = 2"
          "|    Text = No|Dialog4|  Type = Text|  Speaker = Player"
          "|  Text = Bye");

const QString kWrongType = QStringLiteral(
    "The variable seems to have the wrong type!\n\r\n\rexpamles:\n\r Char: a\n\r  Short: "
    "123\n\r Float: 123.001\n\r String: This is a test");

QStringList itemsOf(const QComboBox *box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

} // namespace

class TestEditingCommands : public QObject
{
    Q_OBJECT

private slots:
    // --- Dialog actions -------------------------------------------------------------------

    void actionPrecondition_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<QByteArray>("selected");
        QTest::addColumn<QString>("message");
        const QString pick = QStringLiteral("Please select a bold dialog node first!");
        const QString function =
            QStringLiteral("You can only add a function to a Dialog! Not to a choice!");
        for (int button = 1; button <= 4; ++button) {
            const QByteArray b = QByteArray::number(button);
            QTest::newRow(("nothing " + b).constData()) << button << QByteArray() << pick;
            QTest::newRow(("type node " + b).constData())
                << button << QByteArray("Type = Text") << pick;
            QTest::newRow(("root " + b).constData()) << button << QByteArray("Root") << pick;
            QTest::newRow(("choice dialog " + b).constData())
                << button << QByteArray("Dialog2")
                << (button == 1 ? QStringLiteral("You can only add a variable operation to a "
                                                 "Dialog! Not to a choice!")
                                : function);
        }
    }
    void actionPrecondition()
    {
        QFETCH(int, button);
        QFETCH(QByteArray, selected);
        QFETCH(QString, message);
        Program p;
        p.buildStandardTree();
        p.select(selected.isEmpty() ? nullptr : p.find(selected));
        MainWindow &f = p.mainWindow();
        f.variableValueField->setText(QStringLiteral("12"));
        f.deleteDialogField->setValue(4);
        QToolButton *buttons[] = {f.addVariableButton, f.addCallButton, f.addGotoButton,
                                  f.addDeleteButton};
        f.actionTabs->widget(button - 1)->findChild<QGroupBox *>()->setEnabled(true);
        buttons[button - 1]->click();
        QCOMPARE(p.prompter.messages(), QStringList{message});
        QCOMPARE(p.outline(), kStandardOutline);
        QVERIFY(!f.Modified);
    }

    void variableOperation_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("added");
        QTest::newRow("short") << "gold"
                               << "Short"
                               << "12" << QByteArray("Set Short gold = 12");
        QTest::newRow("point in short") << "gold"
                                        << "Short"
                                        << "1.5" << QByteArray();
        QTest::newRow("float") << "gold"
                               << "Float"
                               << "1.5" << QByteArray("Set Float gold = 1.5");
        QTest::newRow("sign") << "gold"
                              << "Short"
                              << "-1" << QByteArray();
        QTest::newRow("string") << "who"
                                << "String"
                                << "Tom Bo" << QByteArray("Set String who = Tom Bo");
        QTest::newRow("no name") << ""
                                 << "Short"
                                 << "5" << QByteArray("Set Short  = 5");
    }
    void variableOperation()
    {
        QFETCH(QString, name);
        QFETCH(QString, type);
        QFETCH(QString, value);
        QFETCH(QByteArray, added);
        Program p;
        p.buildStandardTree();
        MainWindow &f = p.mainWindow();
        f.variableGroup->setEnabled(true);
        p.select(p.find("Dialog4"));
        f.variableNameCombo->setEditText(name);
        f.variableTypeCombo->setCurrentText(type);
        f.variableValueField->setText(value);
        f.addVariableButton->click();

        DialogNode *dialog = p.find("Dialog4");
        if (added.isEmpty()) {
            QCOMPARE(p.prompter.messages(), QStringList{kWrongType});
            QCOMPARE(dialog->childCount(), 3);
            QCOMPARE(f.variableValueField->text(), value);
            QVERIFY(itemsOf(f.variableNameCombo).isEmpty());
            QVERIFY(!f.Modified);
        } else {
            QVERIFY(p.prompter.shown.isEmpty());
            QCOMPARE(dialog->childCount(), 4);
            QCOMPARE(dialog->child(3)->text(), added);
            QCOMPARE(itemsOf(f.variableNameCombo), QStringList{name});
            QCOMPARE(f.selectedNode(), dialog);
            QVERIFY(f.Modified);
        }
    }

    void dropDownListsRememberEveryAdd()
    {
        Program p;
        p.buildStandardTree();
        MainWindow &f = p.mainWindow();
        f.variableGroup->setEnabled(true);
        f.callGroup->setEnabled(true);
        p.select(p.find("Dialog1"));
        f.functionCallCombo->setEditText(QStringLiteral("OpenDoor"));
        f.addCallButton->click();
        f.addCallButton->click();
        f.functionCallCombo->setEditText(QStringLiteral("Shut, 1, 2"));
        f.addCallButton->click();
        f.functionCallCombo->setEditText(QString());
        f.addCallButton->click();
        QCOMPARE(itemsOf(f.functionCallCombo),
                 QStringList({QStringLiteral("OpenDoor"), QStringLiteral("OpenDoor"),
                              QStringLiteral("Shut, 1, 2"), QString()}));
        f.variableNameCombo->setEditText(QStringLiteral("gold"));
        f.variableValueField->setText(QStringLiteral("1"));
        f.addVariableButton->click();
        f.addVariableButton->click();
        QCOMPARE(itemsOf(f.variableNameCombo),
                 QStringList({QStringLiteral("gold"), QStringLiteral("gold")}));
        QCOMPARE(f.variableNameCombo->currentText(), QStringLiteral("gold"));
        // Actions stand after the text node in the order of adding.
        QCOMPARE(p.outline().mid(0, p.outline().indexOf("Dialog2")),
                 lines("Root|  Config = c.ini|Dialog1|  Type = Text"
                       "|  Speaker = Player|  Text = Hello|  Goto = 4"
                       "|  Call = OpenDoor|  Call = OpenDoor|  Call = Shut, 1, 2"
                       "|  Call = |  Set Short gold = 1|  Set Short gold = 1"));
        QVERIFY(p.prompter.shown.isEmpty());
    }

    void gotoScan()
    {
        Program p;
        p.buildStandardTree();
        MainWindow &f = p.mainWindow();
        f.gotoGroup->setEnabled(true);
        f.gotoNumberField->setValue(3);

        p.select(p.find("Dialog1"));
        f.addGotoButton->click();
        QCOMPARE(p.prompter.messages(),
                 QStringList{QStringLiteral("There is already a goto defined in this dialog!")});
        QCOMPARE(p.outline(), kStandardOutline);

        p.select(p.find("Dialog3"));
        f.addGotoButton->click();
        QVERIFY(p.prompter.shown.isEmpty());
        QCOMPARE(p.find("Dialog3")->child(3)->text(), QByteArray("Goto = 3"));
        QVERIFY(f.Modified);
        f.addGotoButton->click();
        QCOMPARE(p.prompter.messages().size(), 1);

        // The scan ends at the first node that is not a direct child: a goto after a child
        // with children of its own is not seen.
        DialogNode *dialog = p.find("Dialog4");
        p.tree().addChild(dialog->child(1), "Stray");
        p.tree().addChild(dialog, NodeText::gotoDialog(1));
        p.select(dialog);
        f.gotoNumberField->setValue(2);
        f.addGotoButton->click();
        QVERIFY(p.prompter.shown.isEmpty());
        QCOMPARE(dialog->child(4)->text(), QByteArray("Goto = 2"));
    }

    void deleteActionForm_data()
    {
        QTest::addColumn<int>("dialogNumber");
        QTest::addColumn<int>("choiceNumber");
        QTest::addColumn<QByteArray>("added");
        QTest::newRow("choice dialog") << 2 << 1 << QByteArray("Delete = 1 from 2");
        QTest::newRow("choice number not compared") << 2 << 7 << QByteArray("Delete = 7 from 2");
        QTest::newRow("text dialog") << 3 << 5 << QByteArray("Delete = 3");
        QTest::newRow("dialog without children") << 5 << 1 << QByteArray();
        QTest::newRow("beyond the last dialog") << 6 << 1 << QByteArray();
    }
    void deleteActionForm()
    {
        QFETCH(int, dialogNumber);
        QFETCH(int, choiceNumber);
        QFETCH(QByteArray, added);
        Program p;
        p.buildStandardTree();
        // A dialog without children, as only a file written elsewhere holds: Dialog5.
        p.tree().addChild(nullptr, "Dialog5");
        p.tree().renumberDialogs();
        MainWindow &f = p.mainWindow();
        f.deleteGroup->setEnabled(true);
        p.select(p.find("Dialog1"));
        f.deleteDialogField->setValue(dialogNumber);
        f.deleteChoiceField->setValue(choiceNumber);
        const int before = p.find("Dialog1")->childCount();
        f.addDeleteButton->click();
        QVERIFY(p.prompter.shown.isEmpty());
        DialogNode *dialog = p.find("Dialog1");
        if (added.isEmpty()) {
            QCOMPARE(dialog->childCount(), before);
            QVERIFY(!f.Modified);
        } else {
            QCOMPARE(dialog->childCount(), before + 1);
            QCOMPARE(dialog->child(before)->text(), added);
            QVERIFY(f.Modified);
        }
    }

    void choiceNumberFieldFollowsDialogNumber()
    {
        Program p;
        p.buildStandardTree();
        // A childless dialog in the middle and one at the very end of the tree.
        p.tree().addChild(nullptr, "Dialog5");
        p.textDialog(nullptr, "After");
        p.tree().addChild(nullptr, "Dialog7");
        p.tree().renumberDialogs();
        MainWindow &f = p.mainWindow();
        f.deleteGroup->setEnabled(true);
        QSpinBox *choice = f.deleteChoiceField;
        QVERIFY(!choice->isEnabled());
        f.deleteDialogField->setValue(2);
        QVERIFY(choice->isEnabled());
        f.deleteDialogField->setValue(40);
        QVERIFY(choice->isEnabled());
        f.deleteDialogField->setValue(7); // the last node: no dialog carries the number
        QVERIFY(choice->isEnabled());
        f.deleteDialogField->setValue(4);
        QVERIFY(!choice->isEnabled());
        f.deleteDialogField->setValue(2);
        QVERIFY(choice->isEnabled());
        f.deleteDialogField->setValue(5); // no first child: not a choice dialog
        QVERIFY(!choice->isEnabled());
    }

    void actionsOnDialogWithoutChildren()
    {
        Program p;
        p.buildStandardTree();
        DialogNode *bare = p.tree().addChild(nullptr, "Dialog5");
        p.tree().renumberDialogs();
        MainWindow &f = p.mainWindow();
        for (QGroupBox *group : {f.variableGroup, f.callGroup, f.gotoGroup, f.deleteGroup})
            group->setEnabled(true);
        p.select(bare);
        f.variableNameCombo->setEditText(QStringLiteral("x"));
        f.variableValueField->setText(QStringLiteral("1"));
        f.addVariableButton->click();
        f.addCallButton->click();
        f.gotoNumberField->setValue(2);
        f.addGotoButton->click();
        f.deleteDialogField->setValue(4);
        f.addDeleteButton->click();
        QVERIFY(p.prompter.shown.isEmpty());
        QCOMPARE(p.outline().mid(p.outline().indexOf("Dialog5")),
                 lines("Dialog5|  Set Short x = 1|  Call = |  Goto = 2|  Delete = 4"));
    }

    // --- Selecting, updating and renaming --------------------------------------------------

    void clickFillsOrLocksField_data()
    {
        QTest::addColumn<QByteArray>("dialog");
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("editable");
        QTest::newRow("speaker") << QByteArray("Dialog1") << 1 << true;
        QTest::newRow("dialog") << QByteArray("Dialog1") << -1 << false;
        QTest::newRow("root") << QByteArray("Root") << -1 << false;
        QTest::newRow("choice") << QByteArray("Dialog2") << 0 << false;
        QTest::newRow("type") << QByteArray("Dialog4") << 0 << true;
        QTest::newRow("goto") << QByteArray("Dialog1") << 3 << true;
    }
    void clickFillsOrLocksField()
    {
        QFETCH(QByteArray, dialog);
        QFETCH(int, row);
        QFETCH(bool, editable);
        Program p;
        p.buildStandardTree();
        p.showWindow();
        MainWindow &f = p.mainWindow();
        f.nodeTextField->setText(QStringLiteral("before"));
        // Lock the field first, so that an editable node must unlock it again.
        QTest::mouseClick(p.view()->viewport(), Qt::LeftButton, {},
                          p.rectOf(p.find("Dialog2")).center());
        QVERIFY(!f.nodeTextField->isEnabled());

        DialogNode *node = row < 0 ? p.find(dialog) : p.childOf(dialog, row);
        QTest::mouseClick(p.view()->viewport(), Qt::LeftButton, {}, p.rectOf(node).center());
        QCOMPARE(f.selectedNode(), node);
        QCOMPARE(f.nodeTextField->isEnabled(), editable);
        QCOMPARE(f.updateSelectedButton->isEnabled(), editable);
        QCOMPARE(f.nodeTextField->text(),
                 editable ? Ansi::toUnicode(node->text()) : QStringLiteral("before"));
    }

    // The field follows the selection made with the keys too, and Enter in it updates.
    void keyboardSelectionFillsField()
    {
        Program p;
        p.buildStandardTree();
        p.showWindow();
        MainWindow &f = p.mainWindow();
        DialogNode *speaker = p.childOf("Dialog1", 1);
        QTest::mouseClick(p.view()->viewport(), Qt::LeftButton, {}, p.rectOf(speaker).center());
        QCOMPARE(f.nodeTextField->text(), QStringLiteral("Speaker = Player"));
        QTest::keyClick(p.view(), Qt::Key_Down);
        QCOMPARE(f.selectedNode(), p.childOf("Dialog1", 2));
        QCOMPARE(f.nodeTextField->text(), QStringLiteral("Text = Hello"));
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(p.view(), Qt::Key_Up);
        QCOMPARE(f.selectedNode(), p.find("Dialog1"));
        QVERIFY(!f.nodeTextField->isEnabled());
        QTest::keyClick(p.view(), Qt::Key_Down);
        QTest::keyClick(p.view(), Qt::Key_Down);
        QVERIFY(f.nodeTextField->isEnabled());
        f.nodeTextField->setText(QStringLiteral("Speaker = Entity"));
        QTest::keyClick(f.nodeTextField, Qt::Key_Return);
        QCOMPARE(p.childOf("Dialog1", 1)->text(), QByteArray("Speaker = Entity"));
    }

    void update_data()
    {
        QTest::addColumn<QByteArray>("dialog");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("message");
        QTest::newRow("nothing selected") << QByteArray() << -1 << "x"
                                          << "Select an element you want to update!";
        const QString fixed = QStringLiteral("Changing root or dialog items is not allowed");
        QTest::newRow("type node") << QByteArray("Dialog1") << 0 << "x" << fixed;
        QTest::newRow("first choice") << QByteArray("Dialog2") << 0 << "x" << fixed;
        QTest::newRow("choice text") << QByteArray("Choice = 2") << 0 << "x" << fixed;
        QTest::newRow("root") << QByteArray("Root") << -1 << "x" << fixed;
        QTest::newRow("config") << QByteArray("Root") << 0 << "x" << fixed;
        QTest::newRow("dialog") << QByteArray("Dialog4") << -1 << "x" << fixed;
        QTest::newRow("nested dialog") << QByteArray("Choice = 1") << 1 << "x" << fixed;
        QTest::newRow("empty field") << QByteArray("Dialog1") << 1 << ""
                                     << "Field is empty!";
        QTest::newRow("root elsewhere") << QByteArray("Dialog4") << 3 << "x"
                                        << "Root element cannot be changed!";
        QTest::newRow("speaker") << QByteArray("Dialog1") << 1 << "Speaker = Entity"
                                 << "";
        QTest::newRow("second choice") << QByteArray("Dialog2") << 1 << "Choice = 9"
                                       << "";
        QTest::newRow("goto to call") << QByteArray("Dialog1") << 3 << "Call = open"
                                      << "";
        QTest::newRow("no kind, any text") << QByteArray("Dialog4") << 4 << "Dix"
                                           << "";
        // A node that fits where it stands is refused a text that would fit no kind there.
        const auto misfit = [](const char *text, const char *why) {
            return QStringLiteral("\"%1\" does not fit here: %2")
                .arg(QLatin1String(text), QLatin1String(why));
        };
        QTest::newRow("goto, no kind")
            << QByteArray("Dialog1") << 3 << "Dix"
            << misfit("Dix", "after its text a text dialog holds only actions: Set, Call, Goto "
                             "or Delete");
        QTest::newRow("text without keyword")
            << QByteArray("Dialog1") << 2 << "What brings you..."
            << misfit("What brings you...",
                      "the third node of a text dialog is its text, Text = ...");
        QTest::newRow("unknown speaker")
            << QByteArray("Dialog3") << 1 << "Speaker = Narrator"
            << misfit("Speaker = Narrator", "a speaker is Player or Entity");
    }
    void update()
    {
        QFETCH(QByteArray, dialog);
        QFETCH(int, row);
        QFETCH(QString, field);
        QFETCH(QString, message);
        Program p;
        p.buildStandardTree();
        p.tree().addChild(p.find("Dialog4"), "Root");
        p.tree().addChild(p.find("Dialog4"), "Note");
        const QByteArray before = p.outline();
        DialogNode *node = nullptr;
        if (!dialog.isEmpty())
            node = row < 0 ? p.find(dialog) : p.childOf(dialog, row);
        p.select(node);
        MainWindow &f = p.mainWindow();
        f.nodeTextField->setText(field);
        // The button is greyed for the nodes the field cannot change; the handler still refuses.
        emit f.updateSelectedButton->clicked();
        if (message.isEmpty()) {
            QVERIFY(p.prompter.shown.isEmpty());
            QCOMPARE(node->text(), Ansi::fromUnicode(field));
            QVERIFY(f.Modified);
            // No renumbering at that moment: the node becomes a dialog only at the next pass.
            QCOMPARE(p.tree().DialogCount(), 4);
        } else {
            QCOMPARE(p.prompter.messages(), QStringList{message});
            QCOMPARE(p.outline(), before);
            QVERIFY(!f.Modified);
        }
    }

    void renameInPlace_data()
    {
        QTest::addColumn<QByteArray>("node");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("key");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("root") << QByteArray("Root") << "Start" << int(Qt::Key_Return)
                              << QByteArray("Start");
        QTest::newRow("dialog") << QByteArray("Dialog2") << "Dialog9" << int(Qt::Key_Return)
                                << QByteArray("Dialog9");
        QTest::newRow("empty") << QByteArray("Text = Bye") << "" << int(Qt::Key_Enter)
                               << QByteArray("");
        QTest::newRow("ansi") << QByteArray("Text = Bye") << QString::fromUtf8("Text = caf\u00e9")
                              << int(Qt::Key_Return) << QByteArray("Text = caf\xe9");
        QTest::newRow("escape") << QByteArray("Dialog2") << "Dialog9" << int(Qt::Key_Escape)
                                << QByteArray("Dialog2");
    }
    void renameInPlace()
    {
        QFETCH(QByteArray, node);
        QFETCH(QString, typed);
        QFETCH(int, key);
        QFETCH(QByteArray, after);
        Program p;
        p.buildStandardTree();
        p.showWindow();
        DialogNode *renamed = p.find(node);
        p.select(renamed);
        p.view()->setFocus();
        QTest::keyClick(p.view(), Qt::Key_F2);
        auto *editor = p.view()->viewport()->findChild<QLineEdit *>();
        QVERIFY(editor);
        QCOMPARE(editor->text(), Ansi::toUnicode(node));
        editor->setText(typed);
        QTest::keyClick(editor, Qt::Key(key));
        QTRY_VERIFY(!p.view()->isEditingLabel());
        QCOMPARE(renamed->text(), after);
        QCOMPARE(p.mainWindow().Modified, key != Qt::Key_Escape);
        QVERIFY(p.prompter.shown.isEmpty());
        QCOMPARE(p.tree().DialogCount(), 4);
    }

    void renamedDialogGetsNumberBackAtNextPass()
    {
        Program p;
        p.buildStandardTree();
        p.tree().setText(p.find("Dialog2"), "Dialog9");
        QCOMPARE(p.find("Dialog9")->row(), 2);
        p.textDialog(nullptr, "More");
        QCOMPARE(p.tree().topLevel(2)->text(), QByteArray("Dialog2"));
    }

    // --- Deleting ---------------------------------------------------------------------------

    void deleteOutcome_data()
    {
        QTest::addColumn<QByteArray>("dialog");
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QStringList>("questions");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QByteArray>("outline");
        const QString dialogQuestion = QStringLiteral("Do you really want to delete this dialog?");
        const QString choiceQuestion =
            QStringLiteral("You will delete an entire choice\n\rContinue?");
        const QString rootRefusal = QStringLiteral("Root can not be deleted!");
        // The goto follows the dialog it names (the former Dialog4).
        const QByteArray withoutDialog2 =
            lines("Root|  Config = c.ini|Dialog1|  Type = Text"
                  "|  Speaker = Player|  Text = Hello|  Goto = 2|Dialog2"
                  "|  Type = Text|  Speaker = Player|  Text = Bye");
        const QByteArray withoutDialog3 =
            lines("Root|  Config = c.ini|Dialog1|  Type = Text"
                  "|  Speaker = Player|  Text = Hello|  Goto = 3|Dialog2"
                  "|  Choice = 1|    Text = Yes|  Choice = 2|    Text = No"
                  "|Dialog3|  Type = Text|  Speaker = Player|  Text = Bye");
        QByteArray withoutGoto = kStandardOutline;
        withoutGoto.replace("  Goto = 4\n", "");

        QTest::newRow("root") << QByteArray("Root") << -1 << true << QStringList()
                              << QStringList{rootRefusal} << kStandardOutline;
        QTest::newRow("dialog, yes")
            << QByteArray("Dialog2") << -1 << true << QStringList{dialogQuestion} << QStringList()
            << withoutDialog2;
        QTest::newRow("dialog, no")
            << QByteArray("Dialog2") << -1 << false << QStringList{dialogQuestion} << QStringList()
            << kStandardOutline;
        QTest::newRow("action") << QByteArray("Dialog1") << 3 << true << QStringList()
                                << QStringList() << withoutGoto;
        QTest::newRow("choice, yes")
            << QByteArray("Dialog2") << 1 << true << QStringList{choiceQuestion} << QStringList()
            << withoutDialog2;
        QTest::newRow("choice, no")
            << QByteArray("Dialog2") << 0 << false << QStringList{choiceQuestion} << QStringList()
            << kStandardOutline;
        QTest::newRow("speaker of nested dialog")
            << QByteArray("Dialog3") << 1 << true
            << QStringList{QStringLiteral(
                   "The dialog you need to delete is Dialog3\r\nDo you want to delete it?")}
            << QStringList() << withoutDialog3;
        QTest::newRow("answer of choice")
            << QByteArray("Choice = 2") << 0 << true
            << QStringList{QStringLiteral(
                   "The dialog you need to delete is Dialog2\r\nDo you want to delete it?")}
            << QStringList() << withoutDialog2;
        QTest::newRow("text node, no")
            << QByteArray("Dialog1") << 2 << false
            << QStringList{QStringLiteral(
                   "The dialog you need to delete is Dialog1\r\nDo you want to delete it?")}
            << QStringList() << kStandardOutline;
        QTest::newRow("config")
            << QByteArray("Root") << 0 << true
            << QStringList{QStringLiteral(
                   "The dialog you need to delete is Root\r\nDo you want to delete it?")}
            << QStringList{rootRefusal} << kStandardOutline;
    }
    void deleteOutcome()
    {
        QFETCH(QByteArray, dialog);
        QFETCH(int, row);
        QFETCH(bool, yes);
        QFETCH(QStringList, questions);
        QFETCH(QStringList, messages);
        QFETCH(QByteArray, outline);
        Program p;
        p.buildStandardTree();
        p.select(row < 0 ? p.find(dialog) : p.childOf(dialog, row));
        p.prompter.confirmAnswers = {yes, yes};
        p.mainWindow().deleteSelectedButton->click();
        QCOMPARE(p.prompter.confirmations(), questions);
        QCOMPARE(p.prompter.messages(), messages);
        QCOMPARE(p.outline(), outline);
        const bool changed = outline != kStandardOutline;
        QCOMPARE(p.mainWindow().Modified, changed);
        QCOMPARE(p.tree().DialogCount(), int(outline.count("Dialog")));
    }

    void deleteWithoutEnclosingDialog()
    {
        Program p;
        p.buildStandardTree();
        DialogNode *loose = p.tree().addChild(nullptr, "Loose");
        p.tree().addChild(loose, "Under");
        DialogNode *choice = p.tree().addChild(p.find("Config = c.ini"), "Choice = 1");
        const QByteArray before = p.outline();

        // A top-level node that is no dialog, root or action: nothing.
        p.select(loose);
        p.mainWindow().deleteSelectedButton->click();
        QVERIFY(p.prompter.shown.isEmpty());
        QCOMPARE(p.outline(), before);

        // A choice node with only the root above it never takes the root along.
        p.select(choice);
        p.prompter.confirmAnswers = {true};
        p.mainWindow().deleteSelectedButton->click();
        QCOMPARE(p.prompter.messages(), QStringList{QStringLiteral("Root can not be deleted!")});
        QCOMPARE(p.outline(), before);

        // Under a top-level node that is no dialog the question names that node.
        p.select(p.find("Under"));
        p.prompter.confirmAnswers = {true};
        p.mainWindow().deleteSelectedButton->click();
        QCOMPARE(p.prompter.confirmations(),
                 QStringList{QStringLiteral(
                     "The dialog you need to delete is Loose\r\nDo you want to delete it?")});
        QVERIFY(!p.outline().contains("Loose"));
    }

    void deleteKey_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("deletes");
        QTest::newRow("delete") << int(Qt::Key_Delete) << 0 << true;
        QTest::newRow("shift+ctrl+alt delete")
            << int(Qt::Key_Delete) << int(Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)
            << true;
        QTest::newRow("backspace") << int(Qt::Key_Backspace) << 0 << false;
        QTest::newRow("x") << int(Qt::Key_X) << 0 << false;
    }
    void deleteKey()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, deletes);
        Program p;
        p.buildStandardTree();
        p.select(p.childOf("Dialog1", 3));
        QTest::keyRelease(p.view(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(p.outline().contains("Goto = 4"), !deletes);
        QCOMPARE(p.tree().DialogCount(), 4);
        QVERIFY(p.prompter.shown.isEmpty());
    }

    void deleteKeyWithRootOrNothingSelected()
    {
        Program p;
        p.buildStandardTree();
        p.select(nullptr);
        QTest::keyRelease(p.view(), Qt::Key_Delete);
        QVERIFY(p.prompter.shown.isEmpty());
        p.select(p.find("Root"));
        QTest::keyRelease(p.view(), Qt::Key_Delete);
        QCOMPARE(p.prompter.messages(), QStringList{QStringLiteral("Root can not be deleted!")});
        QCOMPARE(p.outline(), kStandardOutline);
    }

    void deleteKeyInsideLabelEditorEditsText()
    {
        Program p;
        p.buildStandardTree();
        p.showWindow();
        DialogNode *action = p.childOf("Dialog1", 3);
        p.select(action);
        p.view()->setFocus();
        QTest::keyClick(p.view(), Qt::Key_F2);
        auto *editor = p.view()->viewport()->findChild<QLineEdit *>();
        QVERIFY(editor);
        editor->setCursorPosition(0);
        QTest::keyClick(editor, Qt::Key_Delete);
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(action->text(), QByteArray("oto = 4"));
        QVERIFY(p.prompter.shown.isEmpty());
    }

    void deleteDialogRenumbersLaterDialogs()
    {
        Program p;
        for (const char *text : {"a", "b", "c", "d"})
            p.textDialog(nullptr, text);
        p.select(p.find("Dialog2"));
        p.prompter.confirmAnswers = {true};
        p.mainWindow().deleteSelectedButton->click();
        QCOMPARE(p.tree().DialogCount(), 3);
        QCOMPARE(p.find("Dialog2")->child(2)->text(), QByteArray("Text = c"));
        QCOMPARE(p.find("Dialog3")->child(2)->text(), QByteArray("Text = d"));
        QVERIFY(p.mainWindow().Modified);
    }

    // --- Drag-and-drop ----------------------------------------------------------------------

    void drop_data()
    {
        QTest::addColumn<QByteArray>("dragged");
        QTest::addColumn<QByteArray>("target");
        QTest::addColumn<QByteArray>("outline");
        QTest::newRow("Dialog4 onto Dialog2")
            << QByteArray("Dialog4") << QByteArray("Dialog2")
            << lines("Root|  Config = c.ini|Dialog1|  Type = Text"
                     "|  Speaker = Player|  Text = Hello|  Goto = 2|Dialog2"
                     "|  Type = Text|  Speaker = Player|  Text = Bye|Dialog3"
                     "|  Choice = 1|    Text = Yes|    Dialog4|      Type = Text"
                     "|      Speaker = Entity|      Text = Fine|  Choice = 2"
                     "|    Text = No");
        QTest::newRow("Dialog4 into a choice")
            << QByteArray("Dialog4") << QByteArray("Dialog3")
            << lines("Root|  Config = c.ini|Dialog1|  Type = Text"
                     "|  Speaker = Player|  Text = Hello|  Goto = 3|Dialog2"
                     "|  Choice = 1|    Text = Yes|    Dialog3|      Type = Text"
                     "|      Speaker = Player|      Text = Bye|    Dialog4"
                     "|      Type = Text|      Speaker = Entity|      Text = Fine"
                     "|  Choice = 2|    Text = No");
        QTest::newRow("nested Dialog3 to the top level")
            << QByteArray("Dialog3") << QByteArray("Dialog1")
            << lines("Root|  Config = c.ini|Dialog1|  Type = Text"
                     "|  Speaker = Entity|  Text = Fine|Dialog2|  Type = Text"
                     "|  Speaker = Player|  Text = Hello|  Goto = 4|Dialog3"
                     "|  Choice = 1|    Text = Yes|  Choice = 2|    Text = No"
                     "|Dialog4|  Type = Text|  Speaker = Player|  Text = Bye");
        QTest::newRow("onto Root") << QByteArray("Dialog4") << QByteArray("Root") << QByteArray();
        QTest::newRow("onto a speaker")
            << QByteArray("Dialog4") << QByteArray("Speaker = Player") << QByteArray();
        QTest::newRow("speaker onto a dialog")
            << QByteArray("Speaker = Entity") << QByteArray("Dialog1") << QByteArray();
        QTest::newRow("empty space") << QByteArray("Dialog4") << QByteArray() << QByteArray();
    }
    void drop()
    {
        QFETCH(QByteArray, dragged);
        QFETCH(QByteArray, target);
        QFETCH(QByteArray, outline);
        Program p;
        p.buildStandardTree();
        p.select(p.find(dragged));
        auto *commands = p.mainWindow().findChild<DropCommand *>();
        QVERIFY(commands);
        commands->dropDialog(target.isEmpty() ? nullptr : p.find(target));
        QCOMPARE(p.outline(), outline.isEmpty() ? kStandardOutline : outline);
        QCOMPARE(p.mainWindow().Modified, !outline.isEmpty());
        QVERIFY(p.prompter.shown.isEmpty());
        QCOMPARE(p.tree().DialogCount(), 4);
    }

    void dropIntoOwnChoiceStillRenumbers()
    {
        Program p;
        p.buildStandardTree();
        // A number out of step, so that the renumbering shows.
        p.tree().setText(p.find("Dialog4"), "Dialog8");
        p.select(p.find("Dialog2"));
        p.mainWindow().findChild<DropCommand *>()->dropDialog(p.find("Dialog3"));
        QCOMPARE(p.outline(), kStandardOutline);
        QVERIFY(p.mainWindow().Modified);
        QCOMPARE(p.tree().DialogCount(), 4);
    }

    void dropThroughTheView()
    {
        Program p;
        p.buildStandardTree();
        p.showWindow();
        DialogTreeView *view = p.view();
        p.select(p.find("Dialog4"));
        const QPoint onDialog2 = p.rectOf(p.find("Dialog2")).center();

        // A drag from elsewhere is refused on entering and on dropping.
        QMimeData foreign;
        foreign.setText(QStringLiteral("Dialog4"));
        QDragEnterEvent foreignEnter(onDialog2, Qt::MoveAction, &foreign, Qt::LeftButton, {});
        QCoreApplication::sendEvent(view->viewport(), &foreignEnter);
        QVERIFY(!foreignEnter.isAccepted());
        QDropEvent foreignDrop(onDialog2, Qt::MoveAction, &foreign, Qt::LeftButton, {});
        QCoreApplication::sendEvent(view->viewport(), &foreignDrop);
        QCOMPARE(p.outline(), kStandardOutline);
        QVERIFY(!p.mainWindow().Modified);

        // Dragging Dialog4 from the tree onto Dialog2, with Ctrl held: still a move.
        std::unique_ptr<QMimeData> data(view->dragMimeData());
        QDragEnterEvent enter(onDialog2, Qt::MoveAction, data.get(), Qt::LeftButton,
                              Qt::ControlModifier);
        QCoreApplication::sendEvent(view->viewport(), &enter);
        QVERIFY(enter.isAccepted());
        QDragMoveEvent move(onDialog2, Qt::MoveAction, data.get(), Qt::LeftButton,
                            Qt::ControlModifier);
        QCoreApplication::sendEvent(view->viewport(), &move);
        QVERIFY(move.isAccepted());
        QDropEvent drop(onDialog2, Qt::MoveAction, data.get(), Qt::LeftButton, Qt::ControlModifier);
        QCoreApplication::sendEvent(view->viewport(), &drop);
        QVERIFY(drop.isAccepted());
        QCOMPARE(drop.dropAction(), Qt::IgnoreAction);
        QCOMPARE(p.tree().topLevel(2)->text(), QByteArray("Dialog2"));
        QCOMPARE(p.tree().topLevel(2)->child(2)->text(), QByteArray("Text = Bye"));
        QCOMPARE(p.tree().count(), 20);
        QVERIFY(p.mainWindow().Modified);
        QCOMPARE(view->model()->rowCount(), p.tree().count());

        // A drop below the last row falls on empty space.
        p.select(p.find("Dialog4"));
        const QByteArray before = p.outline();
        const QPoint below(5, view->viewport()->height() - 2);
        QVERIFY(!view->nodeAt(below));
        std::unique_ptr<QMimeData> again(view->dragMimeData());
        QDropEvent emptyDrop(below, Qt::MoveAction, again.get(), Qt::LeftButton, {});
        QCoreApplication::sendEvent(view->viewport(), &emptyDrop);
        QCOMPARE(p.outline(), before);
        QVERIFY(!p.mainWindow().Modified);
    }

    // --- Text search ------------------------------------------------------------------------

    void searchWalk()
    {
        Program p;
        p.textDialog(nullptr, "Hello");
        p.textDialog(nullptr, "Bye");
        p.showWindow();
        MainWindow &f = p.mainWindow();
        f.searchField->setText(QStringLiteral("dialog"));
        p.prompter.clear();

        f.searchButton->click();
        QCOMPARE(f.selectedNode(), p.tree().nodeAt(1));
        QCOMPARE(f.SearchPosition, 2);
        QVERIFY(f.Modified);
        f.searchButton->click();
        QCOMPARE(f.selectedNode(), p.tree().nodeAt(5));
        QCOMPARE(f.SearchPosition, 6);
        QVERIFY(p.prompter.shown.isEmpty());
        f.searchButton->click();
        QCOMPARE(p.prompter.messages(), QStringList{QStringLiteral("Reached end of file!")});
        QCOMPARE(f.selectedNode(), p.tree().nodeAt(5));
        QCOMPARE(f.SearchPosition, -1);
        f.searchButton->click();
        QCOMPARE(f.selectedNode(), p.tree().nodeAt(1));
        QCOMPARE(f.SearchPosition, 2);
    }

    void searchMatches_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("hit"); // -1: "Reached end of file!"
        QTest::newRow("eR finds Player") << "eR" << 3;
        QTest::newRow("lower case") << "speaker = entity" << 7;
        QTest::newRow("accented, same case") << QString::fromUtf8("caf\u00e9") << 8;
        QTest::newRow("accented, other case") << QString::fromUtf8("CAF\u00c9") << -1;
        QTest::newRow("empty") << "" << -1;
        QTest::newRow("nowhere") << "zzz" << -1;
    }
    void searchMatches()
    {
        QFETCH(QString, text);
        QFETCH(int, hit);
        Program p;
        p.textDialog(nullptr, "Hello");
        p.textDialog(nullptr, "caf\xe9", "Entity");
        MainWindow &f = p.mainWindow();
        f.searchField->setText(text);
        p.select(nullptr);
        f.searchButton->click();
        if (hit < 0) {
            QCOMPARE(p.prompter.messages(), QStringList{QStringLiteral("Reached end of file!")});
            QCOMPARE(f.selectedNode(), nullptr);
            QCOMPARE(f.SearchPosition, -1);
        } else {
            QVERIFY(p.prompter.shown.isEmpty());
            QCOMPARE(f.selectedNode(), p.tree().nodeAt(hit));
        }
    }

    void searchPositionRestarts()
    {
        Program p;
        p.textDialog(nullptr, "Hello");
        p.textDialog(nullptr, "Bye");
        MainWindow &f = p.mainWindow();
        f.searchField->setText(QStringLiteral("e"));
        f.searchButton->click(); // Type = Text
        f.searchButton->click(); // Speaker = Player
        QCOMPARE(f.SearchPosition, 4);
        f.searchField->setText(QStringLiteral("E"));
        QCOMPARE(f.SearchPosition, -1);
        f.searchButton->click();
        QCOMPARE(f.selectedNode(), p.tree().nodeAt(2));

        // Another node selected after a hit: the next step starts at the top.
        f.selectNode(p.tree().nodeAt(8));
        QCOMPARE(f.SearchPosition, -1);
        f.searchButton->click();
        QCOMPARE(f.selectedNode(), p.tree().nodeAt(2));

        // A hit on the last node: the next step reports the end at once.
        f.searchField->setText(QStringLiteral("bye"));
        f.searchButton->click();
        QCOMPARE(f.selectedNode(), p.tree().nodeAt(8));
        QCOMPARE(f.SearchPosition, p.tree().count());
        p.prompter.clear();
        f.searchButton->click();
        QCOMPARE(p.prompter.messages(), QStringList{QStringLiteral("Reached end of file!")});

        // A start beyond the last node (the tree shrank): nothing shown, nothing changes.
        f.SearchPosition = p.tree().count() + 3;
        p.prompter.clear();
        f.searchButton->click();
        QVERIFY(p.prompter.shown.isEmpty());
        QCOMPARE(f.SearchPosition, p.tree().count() + 3);
    }

    void enterInSearchFieldSearchesAndFocusesTree()
    {
        Program p;
        p.textDialog(nullptr, "Hello");
        p.textDialog(nullptr, "Bye");
        p.showWindow();
        MainWindow &f = p.mainWindow();
        f.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        f.searchField->setFocus();
        QTest::keyClicks(f.searchField, QStringLiteral("text"));
        QSignalSpy returnPressed(f.searchField, &QLineEdit::returnPressed);
        QTest::keyClick(f.searchField, Qt::Key_Return);
        QCOMPARE(f.selectedNode(), p.tree().nodeAt(2));
        QVERIFY(f.treeView->hasFocus());
        QCOMPARE(returnPressed.count(), 0);
        QCOMPARE(f.searchField->text(), QStringLiteral("text"));
        // The button goes on after the hit.
        f.searchButton->click();
        QCOMPARE(f.selectedNode(), p.tree().nodeAt(4));
        QTest::keyClick(f.searchField, Qt::Key_Enter);
        QCOMPARE(f.selectedNode(), p.tree().nodeAt(6));
    }
};

QTEST_MAIN(TestEditingCommands)
#include "test_editing_commands.moc"
