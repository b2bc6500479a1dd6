#include "document/node_text.h"
#include "document/tree_listing.h"
#include "editing/adding_commands.h"
#include "editing/placement_window.h"
#include "program/talmero_app.h"
#include "recording_shell.h"
#include "scripted_prompter.h"
#include "test_program.h"
#include "windows/dialog_tree_model.h"
#include "windows/dialog_tree_view.h"
#include "windows/main_window.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <functional>
#include <memory>

namespace {

QByteArray lines(const QList<QByteArray> &list)
{
    QByteArray result;
    for (const QByteArray &line : list)
        result += line + '\n';
    return result;
}

// The whole program, its main window shown.
struct Session : TestProgram
{
    Session()
    {
        start();
        // Buttons take mouse clicks only on a shown window.
        mainWindow().show();
        if (!QTest::qWaitForWindowExposed(&mainWindow()))
            QTest::qFail("the main window was not shown", __FILE__, __LINE__);
        QVERIFY2(!mainWindow().Modified, "showing the window changed nothing");
    }

    PlacementWindow &placement() { return app->placementWindow(); }
    AddingCommands &adding() { return app->addingCommands(); }
    DialogTree &tree() { return mainWindow().document(); }
    QByteArray outline() { return TreeListing::outline(tree()); }

    void addTextDialog(const QString &text, bool entity = false)
    {
        mainWindow().dialogTextEdit->setPlainText(text);
        (entity ? mainWindow().entitySpeakingRadio : mainWindow().playerSpeakingRadio)
            ->setChecked(true);
        mainWindow().addAtEndCheck->setChecked(true);
        QTest::mouseClick(mainWindow().addDialogButton, Qt::LeftButton);
    }

    void setRows(const QStringList &answers)
    {
        mainWindow().clearAnswersButton->click();
        for (const QString &answer : answers) {
            mainWindow().answerTextField->setText(answer);
            mainWindow().addAnswerButton->click();
        }
    }

    void addChoiceDialog(const QStringList &answers)
    {
        setRows(answers);
        mainWindow().addAtEndCheck->setChecked(true);
        QTest::mouseClick(mainWindow().addDecisionButton, Qt::LeftButton);
    }

    QStringList tableRows()
    {
        QStringList rows;
        QTreeWidget *table = mainWindow().answerTable;
        for (int r = 0; r < table->topLevelItemCount(); ++r)
            rows << table->topLevelItem(r)->text(0) + QLatin1Char(':') +
                        table->topLevelItem(r)->text(1);
        return rows;
    }

    QStringList placementRows()
    {
        QStringList rows;
        QTableWidget *list = placement().choiceList;
        for (int r = 0; r < list->rowCount(); ++r)
            rows << list->item(r, 0)->text() + QLatin1Char('|') + list->item(r, 1)->text() +
                        QLatin1Char('|') + list->item(r, 2)->text();
        return rows;
    }

    // Presses trigger with "Add always at the end" cleared; while the placement window is open,
    // act works it. Returns whether the window was still open after act; it is then cancelled.
    bool placing(QToolButton *trigger, const std::function<void(PlacementWindow &)> &act)
    {
        mainWindow().addAtEndCheck->setChecked(false);
        bool shown = false;
        bool stayedOpen = false;
        QTimer::singleShot(0, [&] {
            PlacementWindow &window = placement();
            shown = window.isVisible();
            act(window);
            stayedOpen = window.isVisible();
            if (stayedOpen)
                QTest::mouseClick(window.cancelButton, Qt::LeftButton);
        });
        QTest::mouseClick(trigger, Qt::LeftButton);
        if (!shown)
            QTest::qFail("the placement window was not shown", __FILE__, __LINE__);
        return stayedOpen;
    }
};

void selectPlacementRow(PlacementWindow &window, int row)
{
    window.choiceList->selectRow(row);
}

} // namespace

class TestAdding : public QObject
{
    Q_OBJECT

private slots:
    void firstDialogOnNewDocument()
    {
        Session s;
        QVERIFY(!s.mainWindow().Modified);
        s.addTextDialog(QStringLiteral("Hello"));

        QCOMPARE(s.outline(), lines({"Root", "Dialog1", "  Type = Text", "  Speaker = Player",
                                     "  Text = Hello"}));
        DialogNode *dialog = s.tree().nodeAt(1);
        QVERIFY(dialog->isBold());
        QCOMPARE(dialog->imageIndex(), 1);
        QCOMPARE(s.tree().DialogCount(), 1);
        QCOMPARE(s.mainWindow().PlaceMode, QStringLiteral("dialog"));
        QVERIFY(shownOpen(*s.mainWindow().treeView, dialog));
        QVERIFY(s.prompter.shown.isEmpty());
        // Adding is a change the file does not hold yet; the selection stays as it was.
        QVERIFY(s.mainWindow().Modified);
        QVERIFY(!s.mainWindow().selectedNode());
    }

    void dialogText_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("entity");
        QTest::addColumn<QByteArray>("node");
        QTest::addColumn<QString>("shownAfter");
        QTest::newRow("two lines")
            << QStringLiteral("Hello\nCome in") << true << QByteArray("Text = Hello\\nCome in")
            << QStringLiteral("Hello\\nCome in");
        QTest::newRow("three lines")
            << QStringLiteral("a\nb\nc") << false << QByteArray("Text = a\\nb\\nc")
            << QStringLiteral("a\\nb\\nc");
        QTest::newRow("empty") << QString() << false << QByteArray("Text = ") << QString();
        // A character outside the code page is refused before this (test_code_page_entry).
        QTest::newRow("code page") << QString::fromUtf8("Caf\u00e9 \u20ac") << false
                                   << QByteArray("Text = Caf\xe9 \x80")
                                   << QString::fromUtf8("Caf\u00e9 \u20ac");
    }

    void dialogText()
    {
        QFETCH(QString, typed);
        QFETCH(bool, entity);
        QFETCH(QByteArray, node);
        QFETCH(QString, shownAfter);
        Session s;
        s.addTextDialog(typed, entity);
        QCOMPARE(s.tree().nodeAt(3)->text(),
                 entity ? QByteArray("Speaker = Entity") : QByteArray("Speaker = Player"));
        QCOMPARE(s.tree().nodeAt(4)->text(), node);
        QCOMPARE(s.mainWindow().dialogTextEdit->toPlainText(), shownAfter);
    }

    void addDecisionNeedsADialog_data()
    {
        QTest::addColumn<int>("content");
        QTest::addColumn<bool>("refused");
        QTest::newRow("Root only") << 0 << true;
        QTest::newRow("Root and its configuration") << 1 << true;
        QTest::newRow("Root and a dialog") << 2 << false;
    }

    void addDecisionNeedsADialog()
    {
        QFETCH(int, content);
        QFETCH(bool, refused);
        Session s;
        if (content == 1)
            s.tree().addChild(s.tree().nodeAt(0), NodeText::config("C:/x.ini"));
        if (content == 2)
            s.addTextDialog(QStringLiteral("Hi"));
        const QByteArray before = s.outline();
        s.addChoiceDialog({QStringLiteral("Yes")});

        if (refused) {
            QCOMPARE(s.prompter.messages(),
                     QStringList{QStringLiteral("First Item must be a dialog!")});
            QCOMPARE(s.outline(), before);
            QVERIFY(!s.mainWindow().Modified);
        } else {
            QVERIFY(s.prompter.messages().isEmpty());
            QCOMPARE(s.outline(), before + lines({"Dialog2", "  Choice = 1", "    Text = Yes"}));
            QCOMPARE(s.tree().nodeAt(5)->imageIndex(), 2);
        }
    }

    void emptyTableRefused()
    {
        Session s;
        s.addTextDialog(QStringLiteral("Hi"));
        const QByteArray before = s.outline();
        s.addChoiceDialog({});
        QCOMPARE(s.prompter.messages(),
                 QStringList{QStringLiteral("Please create a choice first!")});
        QCOMPARE(s.outline(), before);
        QCOMPARE(s.tree().DialogCount(), 1);
    }

    void enterKeyAddsRows()
    {
        Session s;
        s.addTextDialog(QStringLiteral("Hi"));
        QLineEdit *edit = s.mainWindow().answerTextField;
        QTest::keyClicks(edit, QStringLiteral("Yes"));
        QTest::keyClick(edit, Qt::Key_Return);
        // The answer is selected, so the next one typed replaces it.
        QCOMPARE(edit->selectedText(), QStringLiteral("Yes"));
        QTest::keyClicks(edit, QStringLiteral("No"));
        QTest::keyClick(edit, Qt::Key_Enter);
        QCOMPARE(edit->text(), QStringLiteral("No"));
        QCOMPARE(s.tableRows(), (QStringList{QStringLiteral("1:Yes"), QStringLiteral("2:No")}));
        // Other keys add nothing, nor does an Enter pressed elsewhere (on the placement
        // window's Add) and released here.
        QTest::keyClick(edit, Qt::Key_A);
        QTest::keyRelease(edit, Qt::Key_Return);
        QTest::keyClick(edit, Qt::Key_Backspace);
        QCOMPARE(s.tableRows().size(), 2);

        s.mainWindow().addAtEndCheck->setChecked(true);
        QTest::mouseClick(s.mainWindow().addDecisionButton, Qt::LeftButton);
        QCOMPARE(s.outline(), lines({"Root", "Dialog1", "  Type = Text", "  Speaker = Player",
                                     "  Text = Hi", "Dialog2", "  Choice = 1", "    Text = Yes",
                                     "  Choice = 2", "    Text = No"}));
        // The table stays for the next decision.
        QCOMPARE(s.tableRows().size(), 2);
    }

    void tableNumbersKeepGapsNeverRepeat()
    {
        Session s;
        s.addTextDialog(QStringLiteral("Hi"));
        s.setRows({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});

        s.prompter.confirmAnswers = {false};
        s.mainWindow().answerTable->setCurrentItem(s.mainWindow().answerTable->topLevelItem(1));
        QTest::mouseClick(s.mainWindow().removeAnswerButton, Qt::LeftButton);
        QCOMPARE(s.tableRows().size(), 3);

        s.prompter.confirmAnswers = {true};
        QTest::mouseClick(s.mainWindow().removeAnswerButton, Qt::LeftButton);
        QCOMPARE(s.prompter.confirmations(),
                 QStringList(2, QStringLiteral("Delete selected choice?")));
        s.mainWindow().answerTextField->clear();
        QTest::mouseClick(s.mainWindow().addAnswerButton, Qt::LeftButton);
        QCOMPARE(s.tableRows(),
                 (QStringList{QStringLiteral("1:a"), QStringLiteral("3:c"), QStringLiteral("4:")}));

        s.mainWindow().addAtEndCheck->setChecked(true);
        QTest::mouseClick(s.mainWindow().addDecisionButton, Qt::LeftButton);
        QCOMPARE(s.outline().mid(s.outline().indexOf("Dialog2")),
                 lines({"Dialog2", "  Choice = 1", "    Text = a", "  Choice = 3", "    Text = c",
                        "  Choice = 4", "    Text = "}));

        // Yes with no row selected removes nothing; clearing needs no question.
        s.mainWindow().answerTable->clearSelection();
        s.prompter.confirmAnswers = {true};
        QTest::mouseClick(s.mainWindow().removeAnswerButton, Qt::LeftButton);
        QCOMPARE(s.tableRows().size(), 3);
        QTest::mouseClick(s.mainWindow().clearAnswersButton, Qt::LeftButton);
        QVERIFY(s.tableRows().isEmpty());
        QCOMPARE(s.prompter.confirmations().size(), 3);
    }

    void placeIntoChoice()
    {
        Session s;
        s.addTextDialog(QStringLiteral("x"));
        s.addChoiceDialog({QStringLiteral("Yes"), QStringLiteral("No")});
        s.tree().remove(s.tree().nodeAt(1));
        s.placement().renumberDialogs();
        s.addTextDialog(QStringLiteral("after"));
        // Root, Dialog1 (choice 1 and 2), Dialog2.
        s.mainWindow().dialogTextEdit->setPlainText(QStringLiteral("inner"));
        QStringList listed;
        const bool stayed = s.placing(s.mainWindow().addDialogButton, [&](PlacementWindow &window) {
            listed = s.placementRows();
            window.intoChoiceRadio->setChecked(true);
            selectPlacementRow(window, 0);
            QTest::mouseClick(window.addButton, Qt::LeftButton);
        });
        QVERIFY(!stayed);
        QCOMPARE(listed, (QStringList{QStringLiteral(" 1|2| Yes"), QStringLiteral(" 2|4| No")}));
        QCOMPARE(s.outline(),
                 lines({"Root", "Dialog1", "  Choice = 1", "    Text = Yes", "    Dialog2",
                        "      Type = Text", "      Speaker = Player", "      Text = inner",
                        "  Choice = 2", "    Text = No", "Dialog3", "  Type = Text",
                        "  Speaker = Player", "  Text = after"}));

        // A second dialog placed into the same choice comes after the first one.
        s.mainWindow().dialogTextEdit->setPlainText(QStringLiteral("second"));
        s.placing(s.mainWindow().addDialogButton, [&](PlacementWindow &window) {
            QVERIFY(window.intoChoiceRadio->isChecked());
            selectPlacementRow(window, 0);
            QTest::mouseClick(window.addButton, Qt::LeftButton);
        });
        QCOMPARE(s.outline(),
                 lines({"Root", "Dialog1", "  Choice = 1", "    Text = Yes", "    Dialog2",
                        "      Type = Text", "      Speaker = Player", "      Text = inner",
                        "    Dialog3", "      Type = Text", "      Speaker = Player",
                        "      Text = second", "  Choice = 2", "    Text = No", "Dialog4",
                        "  Type = Text", "  Speaker = Player", "  Text = after"}));
        QCOMPARE(s.tree().DialogCount(), 4);
        QVERIFY(s.prompter.shown.isEmpty());
    }

    // A row whose node is gone (the list was filled before the tree shrank) is an error the
    // author is told about; the window stays open and the tree as it was.
    void staleChoiceRowIsReported()
    {
        Session s;
        s.addTextDialog(QStringLiteral("x"));
        s.addChoiceDialog({QStringLiteral("Yes")});
        const bool stayed = s.placing(s.mainWindow().addDialogButton, [&](PlacementWindow &window) {
            window.intoChoiceRadio->setChecked(true);
            selectPlacementRow(window, 0);
            s.tree().remove(s.tree().nodeAt(5));
            s.tree().remove(s.tree().nodeAt(1));
            QTest::mouseClick(window.addButton, Qt::LeftButton);
        });
        QVERIFY(stayed);
        QCOMPARE(s.prompter.errors(), QStringList{QStringLiteral("List index out of bounds (7)")});
        QCOMPARE(s.outline(), lines({"Root"}));
    }

    void placementMessagesKeepTheWindowOpen_data()
    {
        QTest::addColumn<int>("radio");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("message");
        QTest::newRow("no choice selected")
            << 2 << 0 << QStringLiteral("Please select a choice first!");
        QTest::newRow("number 0") << 3 << 0 << QStringLiteral("Dialog 0 does not exist!");
    }

    void placementMessagesKeepTheWindowOpen()
    {
        QFETCH(int, radio);
        QFETCH(int, number);
        QFETCH(QString, message);
        Session s;
        s.addTextDialog(QStringLiteral("x"));
        s.addChoiceDialog({QStringLiteral("Yes")});
        const QByteArray before = s.outline();
        const bool stayed = s.placing(s.mainWindow().addDialogButton, [&](PlacementWindow &window) {
            (radio == 2 ? window.intoChoiceRadio : window.beforeDialogRadio)->setChecked(true);
            window.choiceList->clearSelection();
            window.dialogNumberField->setValue(number);
            QTest::mouseClick(window.addButton, Qt::LeftButton);
        });
        QVERIFY(stayed);
        QCOMPARE(s.prompter.messages(), QStringList{message});
        QCOMPARE(s.outline(), before);
    }

    void rebuiltListForgetsTheSelectedRow()
    {
        Session s;
        s.addTextDialog(QStringLiteral("x"));
        s.addChoiceDialog({QStringLiteral("Yes"), QStringLiteral("No")});
        s.mainWindow().dialogTextEdit->setPlainText(QStringLiteral("inner"));
        s.placing(s.mainWindow().addDialogButton, [&](PlacementWindow &window) {
            window.intoChoiceRadio->setChecked(true);
            selectPlacementRow(window, 1);
            QTest::mouseClick(window.addButton, Qt::LeftButton);
        });
        const QByteArray before = s.outline();
        // The next showing keeps "Add item into choice" but lists the choices afresh: no row
        // is selected until the author picks one.
        bool nothingSelected = false;
        const bool stayed = s.placing(s.mainWindow().addDialogButton, [&](PlacementWindow &window) {
            nothingSelected = window.choiceList->selectedItems().isEmpty();
            QTest::mouseClick(window.addButton, Qt::LeftButton);
        });
        QVERIFY(nothingSelected);
        QVERIFY(stayed);
        QCOMPARE(s.prompter.messages(),
                 QStringList{QStringLiteral("Please select a choice first!")});
        QCOMPARE(s.outline(), before);
    }

    void addBeforeDialogNumber()
    {
        Session s;
        s.addTextDialog(QStringLiteral("one"));
        s.addTextDialog(QStringLiteral("two"));
        s.mainWindow().dialogTextEdit->setPlainText(QStringLiteral("new"));
        s.mainWindow().entitySpeakingRadio->setChecked(true);
        int maximum = -1;
        s.placing(s.mainWindow().addDialogButton, [&](PlacementWindow &window) {
            maximum = window.dialogNumberField->maximum();
            window.beforeDialogRadio->setChecked(true);
            window.dialogNumberField->setValue(1);
            QTest::mouseClick(window.addButton, Qt::LeftButton);
        });
        QCOMPARE(maximum, 2);
        QCOMPARE(s.outline(),
                 lines({"Root", "Dialog1", "  Type = Text", "  Speaker = Entity", "  Text = new",
                        "Dialog2", "  Type = Text", "  Speaker = Player", "  Text = one", "Dialog3",
                        "  Type = Text", "  Speaker = Player", "  Text = two"}));
        QCOMPARE(s.tree().DialogCount(), 3);
        QVERIFY(s.tree().nodeAt(1)->isBold());
    }

    void addBeforeNestedDialog()
    {
        Session s;
        s.addTextDialog(QStringLiteral("x"));
        s.addChoiceDialog({QStringLiteral("Yes")});
        s.mainWindow().dialogTextEdit->setPlainText(QStringLiteral("nested"));
        s.placing(s.mainWindow().addDialogButton, [&](PlacementWindow &window) {
            window.intoChoiceRadio->setChecked(true);
            selectPlacementRow(window, 0);
            QTest::mouseClick(window.addButton, Qt::LeftButton);
        });
        s.setRows({QStringLiteral("Go")});
        s.placing(s.mainWindow().addDecisionButton, [&](PlacementWindow &window) {
            window.beforeDialogRadio->setChecked(true);
            window.dialogNumberField->setValue(3);
            QTest::mouseClick(window.addButton, Qt::LeftButton);
        });
        QCOMPARE(s.outline().mid(s.outline().indexOf("Dialog2")),
                 lines({"Dialog2", "  Choice = 1", "    Text = Yes", "    Dialog3",
                        "      Choice = 1", "        Text = Go", "    Dialog4", "      Type = Text",
                        "      Speaker = Player", "      Text = nested"}));
    }

    void placingAChoiceWithAnEmptyTableCloses_data()
    {
        QTest::addColumn<int>("radio");
        QTest::newRow("at the end") << 1;
        QTest::newRow("into choice") << 2;
        QTest::newRow("before dialog") << 3;
    }

    void placingAChoiceWithAnEmptyTableCloses()
    {
        QFETCH(int, radio);
        Session s;
        s.addTextDialog(QStringLiteral("x"));
        s.addChoiceDialog({QStringLiteral("Yes")});
        s.mainWindow().clearAnswersButton->click();
        const QByteArray before = s.outline();
        const bool stayed =
            s.placing(s.mainWindow().addDecisionButton, [&](PlacementWindow &window) {
                QList<QRadioButton *> radios{window.atEndRadio, window.intoChoiceRadio,
                                             window.beforeDialogRadio};
                radios[radio - 1]->setChecked(true);
                selectPlacementRow(window, 0);
                window.dialogNumberField->setValue(1);
                QTest::mouseClick(window.addButton, Qt::LeftButton);
            });
        QVERIFY(!stayed);
        QCOMPARE(s.prompter.messages(),
                 QStringList{QStringLiteral("Please create a choice first!")});
        QCOMPARE(s.outline(), before);
        QCOMPARE(s.tree().DialogCount(), 2);
    }

    void cancelKeepsTheSelection()
    {
        Session s;
        s.addTextDialog(QStringLiteral("x"));
        s.addTextDialog(QStringLiteral("y"));
        const QByteArray before = s.outline();
        s.mainWindow().Modified = false;
        s.placing(s.mainWindow().addDialogButton, [&](PlacementWindow &window) {
            QVERIFY(window.atEndRadio->isChecked());
            window.beforeDialogRadio->setChecked(true);
            window.dialogNumberField->setValue(2);
            QTest::mouseClick(window.cancelButton, Qt::LeftButton);
        });
        QCOMPARE(s.outline(), before);
        QVERIFY(!s.mainWindow().Modified);
        s.placing(s.mainWindow().addDialogButton, [&](PlacementWindow &window) {
            QVERIFY(window.beforeDialogRadio->isChecked());
            QCOMPARE(window.dialogNumberField->value(), 2);
            QTest::mouseClick(window.cancelButton, Qt::LeftButton);
        });
        QCOMPARE(s.outline(), before);
    }

    void numberRangeOnANewDocument()
    {
        Session s;
        int minimum = -1;
        int maximum = -1;
        s.placing(s.mainWindow().addDialogButton, [&](PlacementWindow &window) {
            minimum = window.dialogNumberField->minimum();
            maximum = window.dialogNumberField->maximum();
            QTest::mouseClick(window.addButton, Qt::LeftButton);
        });
        QCOMPARE(minimum, 0);
        QCOMPARE(maximum, 0);
        QCOMPARE(s.outline(),
                 lines({"Root", "Dialog1", "  Type = Text", "  Speaker = Player", "  Text = "}));
    }

    void placementListSkipsNodesWithoutAnswer()
    {
        Session s;
        // The text node quotes the keyword but has no child.
        s.addTextDialog(QStringLiteral("Say Choice = 1"));
        s.addChoiceDialog({QStringLiteral("Yes")});
        s.placement().fillChoiceList();
        QCOMPARE(s.placementRows(), QStringList{QStringLiteral(" 1|6| Yes")});
        QCOMPARE(s.placement().indexOfDialog(2), 5);
        QCOMPARE(s.placement().indexOfDialog(3), -1);
        QCOMPARE(s.placement().lastTopLevelNode(), s.tree().nodeAt(5));
    }
};

QTEST_MAIN(TestAdding)
#include "test_adding.moc"
