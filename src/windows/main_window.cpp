#include "main_window.h"

#include "dialog_tree_model.h"
#include "dialog_tree_view.h"
#include "icons.h"
#include "platform/app_error.h"
#include "platform/named.h"
#include "undo_history.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QUndoStack>
#include <QVBoxLayout>
#include <vector>

namespace {

// The designed client area, and the two fixed parts that leave the tree control 473 by 553.
constexpr int kClientWidth = 912;
constexpr int kClientHeight = 606;
constexpr int kRightColumnWidth = 439;
constexpr int kEditPanelHeight = 53;

QToolButton *pictureButton(QWidget *parent, const char *name, Icons::Kind icon, const QString &hint,
                           const QString &caption = QString())
{
    auto *button = named(new QToolButton(parent), name);
    button->setIcon(Icons::icon(icon));
    button->setIconSize(QSize(24, 24));
    button->setToolTip(hint);
    button->setAutoRaise(false);
    if (!caption.isEmpty()) {
        button->setText(caption);
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    }
    return button;
}

QSpinBox *numberField(QWidget *parent, const char *name, int minimum, int maximum, int value)
{
    auto *spin = named(new QSpinBox(parent), name);
    spin->setRange(minimum, maximum);
    spin->setValue(value);
    return spin;
}

QGroupBox *actionGroup(QTabWidget *tabs, const QString &tab, const char *name, const QString &title)
{
    auto *page = new QWidget(tabs);
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(4, 4, 4, 4);
    auto *group = named(new QGroupBox(title, page), name);
    // No command of this edition enables the action groups.
    group->setEnabled(false);
    layout->addWidget(group);
    tabs->addTab(page, tab);
    return group;
}

} // namespace

TForm1::TForm1(const ProgramFolder &programFolder, Prompter &prompter, ShellServices &shell,
               QWidget *parent)
    : QMainWindow(parent), m_programFolder(programFolder), m_prompter(prompter), m_shell(shell),
      m_model(new DialogTreeModel(m_document, this))
{
    setObjectName(QStringLiteral("TForm1"));
    setWindowTitle(QStringLiteral("Talmero Basic"));
    setWindowIcon(Icons::icon(Icons::Application));
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));

    OpenDialog1 = {FileDialogRequest::Open, QStringLiteral("OpenDialog1"), QStringLiteral("*.dlg"),
                   QStringLiteral("*.dlg"), QString()};
    SaveDialog1 = {FileDialogRequest::Save, QStringLiteral("SaveDialog1"), QStringLiteral("*.dlg"),
                   QStringLiteral("*.dlg"), QString()};
    OpenDialog2 = {FileDialogRequest::Open, QStringLiteral("OpenDialog2"), QStringLiteral("*.ini"),
                   QStringLiteral("*.ini"), QString()};

    m_history = new UndoHistory(
        m_document, [this] { return selectedNode(); },
        [this](DialogNode *node) { selectNode(node); }, this);
    m_model->setHistory(m_history);
    // Undo and redo are edits like any other: closing must ask.
    connect(m_history, &UndoHistory::applied, this, [this] { Modified = true; });
    buildMenus();
    auto *central = new QWidget(this);
    auto *columns = new QHBoxLayout(central);
    columns->setContentsMargins(0, 0, 0, 0);
    columns->setSpacing(0);
    columns->addWidget(buildLeftColumn(), 1);
    columns->addWidget(buildRightColumn(), 0);
    setCentralWidget(central);

    const int menuHeight = menuBar()->sizeHint().height();
    setMinimumSize(kClientWidth - 120, kClientHeight + menuHeight);
    resize(kClientWidth, kClientHeight + menuHeight);

    connect(TreeView1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { TreeView1Changing(); });
    // A new or opened document loses the selected node without a selection change: the search
    // starts again from the top all the same.
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] { SearchPosition = -1; });
}

// The view and its model go first: the model leaves the document's observers, and a label
// editor still open commits into a document that is still there.
TForm1::~TForm1()
{
    delete TreeView1;
    delete m_model;
    delete m_history;
}

void TForm1::FormCreate()
{
    m_document.setDialogCount(0);
    CurrentFileName.clear();
    SearchPosition = -1;
    m_document.addRootNode();
    Modified = false;
    OpenDialog2.initialFolder = m_programFolder.file(QStringLiteral("Configs/"));
}

DialogNode *TForm1::selectedNode() const
{
    return m_model->node(TreeView1->currentIndex());
}

void TForm1::selectNode(DialogNode *node)
{
    const QModelIndex index = m_model->indexOf(node);
    TreeView1->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    if (index.isValid())
        TreeView1->scrollTo(index);
}

void TForm1::guarded(const std::function<void()> &command)
{
    try {
        command();
    } catch (const AppError &error) {
        m_prompter.error(error.text());
    }
}

void TForm1::TreeView1Changing()
{
    SearchPosition = -1;
    Modified = true;
}

bool TForm1::FormClose()
{
    if (!Modified)
        return true;
    return m_prompter.confirmUnsaved(
        QStringLiteral("Dialog has been changed!\n\rDo you want to quit without saving?"),
        Prompter::Answer::No);
}

void TForm1::closeEvent(QCloseEvent *event)
{
    if (FormClose())
        event->accept();
    else
        event->ignore();
}

void TForm1::buildMenus()
{
    QMenuBar *bar = menuBar();
    QMenu *file = bar->addMenu(QStringLiteral("&File"));
    New1 = named(file->addAction(QStringLiteral("&New...")), "New1");
    New1->setShortcut(QKeySequence(QStringLiteral("Ctrl+N")));
    file->addSeparator();
    Open1 = named(file->addAction(QStringLiteral("&Open...")), "Open1");
    Open1->setShortcut(QKeySequence(QStringLiteral("Ctrl+O")));
    OpenRecent1 = named(file->addMenu(QStringLiteral("Open &Recent")), "OpenRecent1");
    N4 = named(OpenRecent1->addAction(QStringLiteral("empty")), "N4");
    empty1 = named(OpenRecent1->addAction(QStringLiteral("empty")), "empty1");
    empty2 = named(OpenRecent1->addAction(QStringLiteral("empty")), "empty2");
    empty3 = named(OpenRecent1->addAction(QStringLiteral("empty")), "empty3");
    empty4 = named(OpenRecent1->addAction(QStringLiteral("empty")), "empty4");
    file->addSeparator();
    Save1 = named(file->addAction(QStringLiteral("&Save")), "Save1");
    Save1->setShortcut(QKeySequence(QStringLiteral("Ctrl+S")));
    SaveAs1 = named(file->addAction(QStringLiteral("Save &As...")), "SaveAs1");
    file->addSeparator();
    Exit1 = named(file->addAction(Icons::icon(Icons::Close), QStringLiteral("&Close")), "Exit1");
    connect(Exit1, &QAction::triggered, this, &QWidget::close);

    QMenu *edit = bar->addMenu(QStringLiteral("&Edit"));
    undoAction =
        named(m_history->stack()->createUndoAction(edit, QStringLiteral("Undo")), "undoAction");
    undoAction->setShortcut(QKeySequence::Undo);
    redoAction =
        named(m_history->stack()->createRedoAction(edit, QStringLiteral("Redo")), "redoAction");
    redoAction->setShortcuts(
        {QKeySequence(QStringLiteral("Ctrl+Y")), QKeySequence(QStringLiteral("Ctrl+Shift+Z"))});
    edit->addAction(undoAction);
    edit->addAction(redoAction);

    QMenu *options = bar->addMenu(QStringLiteral("O&ptions"));
    Edit4 = named(options->addAction(QStringLiteral("Change config file...")), "Edit4");
    Edit4->setShortcut(QKeySequence(QStringLiteral("Ctrl+E")));
    options->addSeparator();
    Options1 = named(options->addAction(QStringLiteral("Program Options...")), "Options1");
    Options1->setShortcut(QKeySequence(QStringLiteral("Ctrl+P")));

    QMenu *tools = bar->addMenu(QStringLiteral("&Tools"));
    Open4 = named(tools->addAction(QStringLiteral("&Font generator")), "Open4");
    Open4->setShortcut(QKeySequence(QStringLiteral("Ctrl+F")));

    About1 = named(bar->addAction(QStringLiteral("&About")), "About1");
}

QWidget *TForm1::buildLeftColumn()
{
    auto *column = new QWidget(this);
    auto *layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    TreeView1 = named(new DialogTreeView(column), "TreeView1");
    TreeView1->setDialogModel(m_model);
    layout->addWidget(TreeView1, 1);

    auto *panel = named(new QWidget(column), "Panel1");
    panel->setFixedHeight(kEditPanelHeight);
    auto *row = new QHBoxLayout(panel);
    row->setContentsMargins(6, 6, 6, 6);
    Edit1 = named(new QLineEdit(panel), "Edit1");
    SpeedButton13 =
        pictureButton(panel, "SpeedButton13", Icons::Update, QStringLiteral("Update selected"),
                      QStringLiteral("Update selected"));
    row->addWidget(Edit1, 1);
    row->addWidget(SpeedButton13);
    layout->addWidget(panel);
    return column;
}

QWidget *TForm1::buildRightColumn()
{
    auto *column = new QWidget(this);
    column->setFixedWidth(kRightColumnWidth);
    auto *layout = new QVBoxLayout(column);
    layout->setContentsMargins(6, 4, 6, 6);
    layout->setSpacing(4);
    layout->addWidget(buildAddDialogGroup());
    layout->addWidget(buildAddDecisionGroup(), 1);
    layout->addWidget(buildActionTabs());
    layout->addWidget(buildSearchGroup());
    layout->addWidget(buildBottomRow());
    return column;
}

QWidget *TForm1::buildAddDialogGroup()
{
    GroupBox2 = named(new QGroupBox(QStringLiteral(" Add dialog "), this), "GroupBox2");
    auto *grid = new QGridLayout(GroupBox2);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setVerticalSpacing(2);
    grid->addWidget(new QLabel(QStringLiteral("Text"), GroupBox2), 0, 0, 1, 3);
    Memo1 = named(new QPlainTextEdit(GroupBox2), "Memo1");
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setTabChangesFocus(true);
    Memo1->setFixedHeight(66);
    grid->addWidget(Memo1, 1, 0, 1, 3);
    RadioButton1 =
        named(new QRadioButton(QStringLiteral("Player speaking"), GroupBox2), "RadioButton1");
    RadioButton2 =
        named(new QRadioButton(QStringLiteral("Entity speaking"), GroupBox2), "RadioButton2");
    RadioButton1->setChecked(true);
    CheckBox3 =
        named(new QCheckBox(QStringLiteral("Add always at the end"), GroupBox2), "CheckBox3");
    CheckBox3->setChecked(true);
    SpeedButton7 = pictureButton(GroupBox2, "SpeedButton7", Icons::AddDialog,
                                 QStringLiteral("Add dialog"), QStringLiteral("Add dialog"));
    grid->addWidget(RadioButton1, 2, 0);
    grid->addWidget(RadioButton2, 2, 1);
    grid->addWidget(CheckBox3, 3, 0, 1, 2);
    grid->addWidget(SpeedButton7, 2, 2, 2, 1, Qt::AlignRight | Qt::AlignVCenter);
    return GroupBox2;
}

QWidget *TForm1::buildAddDecisionGroup()
{
    GroupBox3 = named(new QGroupBox(QStringLiteral("Add decision "), this), "GroupBox3");
    auto *grid = new QGridLayout(GroupBox3);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setVerticalSpacing(2);

    auto *buttons = new QVBoxLayout;
    buttons->setSpacing(2);
    SpeedButton8 =
        pictureButton(GroupBox3, "SpeedButton8", Icons::AddChoice, QStringLiteral("Add choice"));
    SpeedButton9 = pictureButton(GroupBox3, "SpeedButton9", Icons::RemoveChoice,
                                 QStringLiteral("Remove choice"));
    SpeedButton10 = pictureButton(GroupBox3, "SpeedButton10", Icons::ClearChoices,
                                  QStringLiteral("Clear choices"));
    buttons->addWidget(SpeedButton8);
    buttons->addWidget(SpeedButton9);
    buttons->addWidget(SpeedButton10);
    buttons->addStretch();
    grid->addLayout(buttons, 0, 0);

    ListView1 = named(new QTreeWidget(GroupBox3), "ListView1");
    ListView1->setColumnCount(2);
    ListView1->setHeaderLabels({QStringLiteral("Choice"), QStringLiteral("Text")});
    ListView1->setRootIsDecorated(false);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setColumnWidth(0, 60);
    ListView1->setColumnWidth(1, 315);
    ListView1->setMinimumHeight(70);
    grid->addWidget(ListView1, 0, 1, 1, 3);

    grid->addWidget(new QLabel(QStringLiteral("Text"), GroupBox3), 1, 0,
                    Qt::AlignRight | Qt::AlignVCenter);
    Edit5 = named(new QLineEdit(GroupBox3), "Edit5");
    grid->addWidget(Edit5, 1, 1, 1, 2);
    SpeedButton11 = pictureButton(GroupBox3, "SpeedButton11", Icons::AddDecision,
                                  QStringLiteral("Add decision"), QStringLiteral("Add decision"));
    grid->addWidget(SpeedButton11, 1, 3);
    grid->setColumnStretch(1, 1);
    return GroupBox3;
}

QWidget *TForm1::buildActionTabs()
{
    PageControl1 = named(new QTabWidget(this), "PageControl1");

    GroupBox4 = actionGroup(PageControl1, QStringLiteral("Variable operation"), "GroupBox4",
                            QStringLiteral(" Add variable operation "));
    auto *variable = new QGridLayout(GroupBox4);
    variable->setVerticalSpacing(2);
    ComboBox1 = named(new QComboBox(GroupBox4), "ComboBox1");
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox3 = named(new QComboBox(GroupBox4), "ComboBox3");
    ComboBox3->addItems(
        {QStringLiteral("Short"), QStringLiteral("Float"), QStringLiteral("String")});
    Edit7 = named(new QLineEdit(GroupBox4), "Edit7");
    SpeedButton1 =
        pictureButton(GroupBox4, "SpeedButton1", Icons::AddAction, QStringLiteral("Add decision"));
    variable->addWidget(new QLabel(QStringLiteral("Var name:"), GroupBox4), 0, 0);
    variable->addWidget(ComboBox1, 0, 1);
    variable->addWidget(new QLabel(QStringLiteral("Var type:"), GroupBox4), 1, 0);
    variable->addWidget(ComboBox3, 1, 1);
    variable->addWidget(new QLabel(QStringLiteral("New value:"), GroupBox4), 2, 0);
    variable->addWidget(Edit7, 2, 1);
    variable->addWidget(SpeedButton1, 2, 2);
    variable->setColumnStretch(1, 1);

    GroupBox6 = actionGroup(PageControl1, QStringLiteral("Function call"), "GroupBox6",
                            QStringLiteral(" Add function call "));
    auto *call = new QGridLayout(GroupBox6);
    call->setVerticalSpacing(2);
    ComboBox2 = named(new QComboBox(GroupBox6), "ComboBox2");
    ComboBox2->setEditable(true);
    ComboBox2->setInsertPolicy(QComboBox::NoInsert);
    SpeedButton2 =
        pictureButton(GroupBox6, "SpeedButton2", Icons::AddAction, QStringLiteral("Add decision"));
    call->addWidget(new QLabel(QStringLiteral("Function name: "), GroupBox6), 0, 0);
    call->addWidget(ComboBox2, 0, 1);
    call->addWidget(SpeedButton2, 0, 2);
    call->addWidget(
        new QLabel(QStringLiteral("MyFunction, Param1, Param2, ..., Param4"), GroupBox6), 1, 1);
    call->setColumnStretch(1, 1);
    call->setRowStretch(2, 1);

    GroupBox7 = actionGroup(PageControl1, QStringLiteral("Goto"), "GroupBox7",
                            QStringLiteral(" Add Goto "));
    auto *jump = new QGridLayout(GroupBox7);
    SpinEdit1 = numberField(GroupBox7, "SpinEdit1", 1, 9999, 1);
    SpeedButton3 =
        pictureButton(GroupBox7, "SpeedButton3", Icons::AddAction, QStringLiteral("Add decision"));
    jump->addWidget(new QLabel(QStringLiteral("Go to dialog"), GroupBox7), 0, 0);
    jump->addWidget(SpinEdit1, 0, 1);
    jump->addWidget(SpeedButton3, 0, 2);
    jump->setColumnStretch(3, 1);
    jump->setRowStretch(1, 1);

    GroupBox8 = actionGroup(PageControl1, QStringLiteral("Delete"), "GroupBox8",
                            QStringLiteral(" Delete dialog / choice "));
    auto *removal = new QGridLayout(GroupBox8);
    SpinEdit2 = numberField(GroupBox8, "SpinEdit2", 1, 9999, 1);
    SpinEdit2->setEnabled(false);
    SpinEdit3 = numberField(GroupBox8, "SpinEdit3", 1, 9999, 1);
    SpeedButton4 =
        pictureButton(GroupBox8, "SpeedButton4", Icons::AddAction, QStringLiteral("Add decision"));
    removal->addWidget(new QLabel(QStringLiteral("Delete choice"), GroupBox8), 0, 0);
    removal->addWidget(SpinEdit2, 0, 1);
    removal->addWidget(new QLabel(QStringLiteral("from dialog"), GroupBox8), 1, 0);
    removal->addWidget(SpinEdit3, 1, 1);
    removal->addWidget(SpeedButton4, 1, 2);
    removal->setColumnStretch(3, 1);

    PageControl1->setCurrentIndex(0);
    return PageControl1;
}

QWidget *TForm1::buildSearchGroup()
{
    GroupBox1 = named(new QGroupBox(QStringLiteral(" Search "), this), "GroupBox1");
    auto *row = new QHBoxLayout(GroupBox1);
    row->setContentsMargins(6, 2, 6, 4);
    row->addWidget(new QLabel(QStringLiteral("Text"), GroupBox1));
    Edit3 = named(new QLineEdit(GroupBox1), "Edit3");
    row->addWidget(Edit3, 1);
    SpeedButton12 = pictureButton(GroupBox1, "SpeedButton12", Icons::Search,
                                  QStringLiteral("Search"), QStringLiteral("Search"));
    row->addWidget(SpeedButton12);
    return GroupBox1;
}

QWidget *TForm1::buildBottomRow()
{
    auto *bottom = new QWidget(this);
    auto *row = new QHBoxLayout(bottom);
    row->setContentsMargins(0, 0, 0, 0);
    row->addStretch();
    SpeedButton14 =
        pictureButton(bottom, "SpeedButton14", Icons::Delete, QStringLiteral("Delete selected"));
    SpeedButton6 =
        pictureButton(bottom, "SpeedButton6", Icons::Generate, QStringLiteral("Generate Project"));
    // Shows the picture of the Close command and has no hint.
    SpeedButton5 = pictureButton(bottom, "SpeedButton5", Icons::Close, QString());
    for (QToolButton *button : {SpeedButton14, SpeedButton6, SpeedButton5}) {
        button->setFixedSize(34, 34);
        row->addWidget(button);
    }
    return bottom;
}
