#include "placement_window.h"

#include "document/dialog_tree.h"
#include "document/node_text.h"
#include "platform/ansi.h"
#include "platform/app_error.h"
#include "platform/named.h"
#include "platform/object_names.h"
#include "platform/prompter.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

namespace names = ObjectNames::Placement;

namespace {

constexpr int kClientSize = 246;
constexpr int kRowHeight = 17;

// The columns of the placement list cut the node texts after their keywords: "Choice = 3" shows
// " 3", "Text = Yes" shows " Yes".
constexpr int kChoiceCut = 8;
constexpr int kTextCut = 6;

QTableWidgetItem *cell(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    return item;
}

} // namespace

PlacementWindow::PlacementWindow(DialogTree &tree, Prompter &prompter, QWidget *parent)
    : QDialog(parent), m_tree(tree), m_prompter(prompter)
{
    setObjectName(QLatin1String(names::window));
    setWindowTitle(QStringLiteral("Place dialog / decision"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    setModal(true);
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    setFixedSize(kClientSize, kClientSize);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 8);
    layout->setSpacing(3);

    atEndRadio =
        named(new QRadioButton(QStringLiteral("Add new item at the end"), this), names::atEndRadio);
    atEndRadio->setChecked(true);
    intoChoiceRadio = named(new QRadioButton(QStringLiteral("Add item into choice"), this),
                            names::intoChoiceRadio);

    choiceList = named(new QTableWidget(0, 3, this), names::choiceList);
    choiceList->setHorizontalHeaderLabels(
        {QStringLiteral("Choice"), QStringLiteral("Item"), QStringLiteral("Text")});
    choiceList->setShowGrid(true);
    choiceList->setSelectionBehavior(QAbstractItemView::SelectRows);
    choiceList->setSelectionMode(QAbstractItemView::SingleSelection);
    choiceList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    choiceList->verticalHeader()->hide();
    choiceList->verticalHeader()->setDefaultSectionSize(kRowHeight);
    choiceList->horizontalHeader()->setHighlightSections(false);
    choiceList->setColumnWidth(0, 44);
    choiceList->setColumnWidth(1, 44);
    choiceList->setColumnWidth(2, 128);
    // Tab leaves the list like any other control, so every control can be reached by keys.
    choiceList->setTabKeyNavigation(false);

    auto *numberRow = new QHBoxLayout;
    beforeDialogRadio = named(new QRadioButton(QStringLiteral("Add before dialog number"), this),
                              names::beforeDialogRadio);
    dialogNumberField = named(new QSpinBox(this), names::dialogNumberField);
    dialogNumberField->setRange(0, 0);
    dialogNumberField->setValue(0);
    numberRow->addWidget(beforeDialogRadio);
    numberRow->addWidget(dialogNumberField, 1);

    auto *buttonRow = new QHBoxLayout;
    addButton = named(new QPushButton(QStringLiteral("Add"), this), names::addButton);
    cancelButton = named(new QPushButton(QStringLiteral("Cancel"), this), names::cancelButton);
    addButton->setDefault(true);
    buttonRow->addStretch();
    buttonRow->addWidget(addButton);
    buttonRow->addWidget(cancelButton);

    layout->addWidget(atEndRadio);
    layout->addWidget(intoChoiceRadio);
    layout->addWidget(choiceList, 1);
    layout->addLayout(numberRow);
    layout->addLayout(buttonRow);

    // An error on the way (a list that no longer fits the tree) is reported; the window stays.
    connect(addButton, &QPushButton::clicked, this, [this] {
        try {
            confirmPlacement();
        } catch (const AppError &error) {
            m_prompter.error(error.text());
        }
    });
    connect(cancelButton, &QPushButton::clicked, this, &PlacementWindow::cancel);
    // The author choosing a row means placing into that choice; changing the number, placing
    // before that number.
    connect(choiceList, &QTableWidget::currentCellChanged, this, [this](int row) {
        if (row >= 0 && choiceList->hasFocus())
            intoChoiceRadio->setChecked(true);
    });
    connect(dialogNumberField, &QSpinBox::valueChanged, this, [this] {
        if (dialogNumberField->hasFocus())
            beforeDialogRadio->setChecked(true);
    });

    fillChoiceList();
}

void PlacementWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Centred on the desktop, not on the main window.
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    fillChoiceList();
}

void PlacementWindow::fillChoiceList()
{
    const DialogTree &tree = m_tree;
    struct Row
    {
        QString choice, item, text;
    };
    QList<Row> rows;
    for (int i = 0; i < tree.count(); ++i) {
        const DialogNode *node = tree.nodeAt(i);
        // Any text may quote the keyword: a dialog text such as "Text = say Choice = 1" holds
        // it too. Only a node with a first child can be a choice with an answer; the others are
        // left out, so the list never shows an answer that is not there.
        if (!NodeText::containsChoice(node->text()) || !node->firstChild())
            continue;
        rows.append({Ansi::toUnicode(node->text().mid(kChoiceCut)), QString::number(i),
                     Ansi::toUnicode(node->firstChild()->text().mid(kTextCut))});
    }

    choiceList->clearContents();
    choiceList->setRowCount(int(rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        choiceList->setItem(r, 0, cell(rows[r].choice));
        choiceList->setItem(r, 1, cell(rows[r].item));
        choiceList->setItem(r, 2, cell(rows[r].text));
        // The column is narrow: the whole answer shows on hovering.
        choiceList->item(r, 2)->setToolTip(rows[r].text.trimmed());
    }
}

void PlacementWindow::renumberDialogs()
{
    m_tree.renumberDialogs();
}

int PlacementWindow::indexOfDialog(int number) const
{
    return DialogEdits(m_tree).indexOfDialog(number);
}

DialogNode *PlacementWindow::lastTopLevelNode() const
{
    return m_tree.lastTopLevel();
}

void PlacementWindow::confirmPlacement()
{
    DialogEdits::Placement placement;
    if (intoChoiceRadio->isChecked()) {
        const QList<QTableWidgetItem *> selected = choiceList->selectedItems();
        if (selected.isEmpty()) {
            m_prompter.message(QStringLiteral("Please select a choice first!"));
            return;
        }
        const int item = choiceList->item(selected.first()->row(), 1)->text().toInt();
        // The row stands for a choice node with a first child: its answer, right after it.
        placement = {DialogEdits::Placement::IntoChoice, m_tree.nodeAt(item + 1), 0};
    } else if (beforeDialogRadio->isChecked()) {
        const int number = dialogNumberField->value();
        if (indexOfDialog(number) == -1) {
            m_prompter.message(
                QStringLiteral("Dialog %1 does not exist!").arg(QString::number(number)));
            return;
        }
        placement = {DialogEdits::Placement::BeforeDialog, nullptr, number};
    }
    emit placementChosen(placement);
    accept();
}

void PlacementWindow::cancel()
{
    reject();
}
