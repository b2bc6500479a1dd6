#include "placement_window.h"

#include "document/dialog_tree.h"
#include "document/node_text.h"
#include "platform/ansi.h"
#include "platform/app_error.h"
#include "platform/named.h"
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

TForm2::TForm2(DialogTree &tree, Prompter &prompter, QWidget *parent)
    : QDialog(parent), m_tree(tree), m_prompter(prompter)
{
    setObjectName(QStringLiteral("TForm2"));
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

    RadioButton1 =
        named(new QRadioButton(QStringLiteral("Add new item at the end"), this), "RadioButton1");
    RadioButton1->setChecked(true);
    RadioButton2 =
        named(new QRadioButton(QStringLiteral("Add item into choice"), this), "RadioButton2");

    ListView1 = named(new QTableWidget(0, 3, this), "ListView1");
    ListView1->setHorizontalHeaderLabels(
        {QStringLiteral("Choice"), QStringLiteral("Item"), QStringLiteral("Text")});
    ListView1->setShowGrid(true);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->verticalHeader()->hide();
    ListView1->verticalHeader()->setDefaultSectionSize(kRowHeight);
    ListView1->horizontalHeader()->setHighlightSections(false);
    ListView1->setColumnWidth(0, 44);
    ListView1->setColumnWidth(1, 44);
    ListView1->setColumnWidth(2, 128);

    auto *numberRow = new QHBoxLayout;
    RadioButton3 =
        named(new QRadioButton(QStringLiteral("Add before dialog number"), this), "RadioButton3");
    SpinEdit1 = named(new QSpinBox(this), "SpinEdit1");
    SpinEdit1->setRange(0, 0);
    SpinEdit1->setValue(0);
    numberRow->addWidget(RadioButton3);
    numberRow->addWidget(SpinEdit1, 1);

    auto *buttonRow = new QHBoxLayout;
    Button1 = named(new QPushButton(QStringLiteral("Add"), this), "Button1");
    Button2 = named(new QPushButton(QStringLiteral("Cancel"), this), "Button2");
    Button1->setDefault(true);
    buttonRow->addStretch();
    buttonRow->addWidget(Button1);
    buttonRow->addWidget(Button2);

    layout->addWidget(RadioButton1);
    layout->addWidget(RadioButton2);
    layout->addWidget(ListView1, 1);
    layout->addLayout(numberRow);
    layout->addLayout(buttonRow);

    // An error on the way (a list that no longer fits the tree) is reported; the window stays.
    connect(Button1, &QPushButton::clicked, this, [this] {
        try {
            Button1Click();
        } catch (const AppError &error) {
            m_prompter.error(error.text());
        }
    });
    connect(Button2, &QPushButton::clicked, this, &TForm2::Button2Click);

    FormCreate();
}

void TForm2::FormCreate()
{
    refreshchoices();
}

void TForm2::FormShow()
{
    refreshchoices();
}

void TForm2::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Centred on the desktop, not on the main window.
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    FormShow();
}

void TForm2::refreshchoices()
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

    ListView1->clearContents();
    ListView1->setRowCount(int(rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        ListView1->setItem(r, 0, cell(rows[r].choice));
        ListView1->setItem(r, 1, cell(rows[r].item));
        ListView1->setItem(r, 2, cell(rows[r].text));
    }
}

void TForm2::refreshlist()
{
    m_tree.refreshlist();
}

int TForm2::dlgnumber(int number) const
{
    return DialogEdits(m_tree).dlgnumber(number);
}

DialogNode *TForm2::lastlvl0node() const
{
    return m_tree.lastTopLevel();
}

void TForm2::Button1Click()
{
    DialogEdits::Placement placement;
    if (RadioButton2->isChecked()) {
        const QList<QTableWidgetItem *> selected = ListView1->selectedItems();
        if (selected.isEmpty()) {
            m_prompter.message(QStringLiteral("Please select a choice first!"));
            return;
        }
        const int item = ListView1->item(selected.first()->row(), 1)->text().toInt();
        // The row stands for a choice node with a first child: its answer, right after it.
        placement = {DialogEdits::Placement::IntoChoice, m_tree.nodeAt(item + 1), 0};
    } else if (RadioButton3->isChecked()) {
        const int number = SpinEdit1->value();
        if (dlgnumber(number) == -1) {
            m_prompter.message(
                QStringLiteral("Dialog %1 does not exist!").arg(QString::number(number)));
            return;
        }
        placement = {DialogEdits::Placement::BeforeDialog, nullptr, number};
    }
    emit placementChosen(placement);
    accept();
}

void TForm2::Button2Click()
{
    reject();
}
