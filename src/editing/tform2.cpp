#include "tform2.h"

#include "app/tform1.h"
#include "app/undo_history.h"
#include "document/node_text.h"
#include "editing/adding_commands.h"
#include "platform/ansi.h"
#include "platform/named.h"

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

TForm2::TForm2(TForm1 &form, QWidget *parent) : QDialog(parent), m_form(form)
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

    connect(Button1, &QPushButton::clicked, this,
            [this] { m_form.guarded([this] { Button1Click(); }); });
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
    const DialogTree &tree = m_form.document();
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
    m_form.document().refreshlist();
}

int TForm2::dlgnumber(int number) const
{
    const DialogTree &tree = m_form.document();
    // The name is made once: the scan runs over the whole tree. From the end, the first match
    // is the last one in pre-order.
    const QByteArray name = NodeText::dialog(number);
    for (int i = tree.count() - 1; i >= 0; --i) {
        if (tree.nodeAt(i)->text() == name)
            return i;
    }
    return -1;
}

DialogNode *TForm2::lastlvl0node() const
{
    return m_form.document().lastTopLevel();
}

DialogNode *TForm2::add(DialogNode *node)
{
    AddingCommands &adding = *m_form.addingCommands();
    if (m_form.PlaceMode == QLatin1String("dialog"))
        return adding.addDialog(node);
    return adding.addChoice(node);
}

void TForm2::Button1Click()
{
    DialogTree &tree = m_form.document();
    // The addition and its placing are one step.
    EditStep step(m_form.history(), m_form.PlaceMode == QLatin1String("dialog")
                                        ? QStringLiteral("Add dialog")
                                        : QStringLiteral("Add decision"));
    if (RadioButton1->isChecked()) {
        add(nullptr);
    } else if (RadioButton2->isChecked()) {
        const QList<QTableWidgetItem *> selected = ListView1->selectedItems();
        if (selected.isEmpty()) {
            m_form.prompter().message(QStringLiteral("Please select a choice first!"));
            return;
        }
        const int item = ListView1->item(selected.first()->row(), 1)->text().toInt();
        // The row stands for a choice node with a first child: its answer, right after it.
        add(tree.nodeAt(item + 1));
        refreshlist();
    } else if (RadioButton3->isChecked()) {
        const int number = SpinEdit1->value();
        if (dlgnumber(number) == -1) {
            m_form.prompter().message(
                QStringLiteral("Dialog %1 does not exist!").arg(QString::number(number)));
            return;
        }
        // Appended first, then moved: a refused choice dialog leaves nothing to move.
        if (DialogNode *added = add(nullptr)) {
            tree.moveBefore(lastlvl0node(), tree.nodeAt(dlgnumber(number)));
            refreshlist();
            m_form.expandNode(added, true);
        }
    }
    accept();
}

void TForm2::Button2Click()
{
    reject();
}
