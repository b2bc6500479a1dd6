#include "main_window.h"

#include "dialog_tree_model.h"
#include "dialog_tree_view.h"
#include "icons.h"
#include "platform/app_error.h"
#include "platform/named.h"
#include "platform/object_names.h"
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
#include <QStatusBar>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QUndoStack>
#include <QVBoxLayout>
#include <vector>

namespace names = ObjectNames::Main;

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

MainWindow::MainWindow(const ProgramFolder &programFolder, Prompter &prompter, ShellServices &shell,
                       QWidget *parent)
    : QMainWindow(parent), m_programFolder(programFolder), m_prompter(prompter), m_shell(shell),
      m_model(new DialogTreeModel(m_document, this))
{
    setObjectName(QLatin1String(names::window));
    setWindowTitle(QStringLiteral("Talmero Basic"));
    setWindowIcon(Icons::icon(Icons::Application));
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));

    documentOpenDialog = {FileDialogRequest::Open, QLatin1String(names::documentOpenDialog),
                          QStringLiteral("*.dlg"), QStringLiteral("*.dlg"), QString()};
    documentSaveDialog = {FileDialogRequest::Save, QLatin1String(names::documentSaveDialog),
                          QStringLiteral("*.dlg"), QStringLiteral("*.dlg"), QString()};
    configOpenDialog = {FileDialogRequest::Open, QLatin1String(names::configOpenDialog),
                        QStringLiteral("*.ini"), QStringLiteral("*.ini"), QString()};

    m_history = new UndoHistory(
        m_document, [this] { return selectedNode(); },
        [this](DialogNode *node) { selectNode(node); }, this);
    m_model->setHistory(m_history);
    connect(m_model, &DialogTreeModel::renameRefused, this,
            [this](const QString &text) { m_prompter.message(text); });
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

    connect(treeView->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { noteSelectionChange(); });
    // A new or opened document loses the selected node without a selection change: the search
    // starts again from the top all the same.
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] { SearchPosition = -1; });
}

// The view and its model go first: the model leaves the document's observers, and a label
// editor still open commits into a document that is still there.
MainWindow::~MainWindow()
{
    delete treeView;
    delete m_model;
    delete m_history;
}

void MainWindow::prepareEmptyDocument()
{
    m_document.setDialogCount(0);
    CurrentFileName.clear();
    SearchPosition = -1;
    m_document.addRootNode();
    Modified = false;
    configOpenDialog.initialFolder = m_programFolder.shippedFile(QStringLiteral("Configs/"));
}

DialogNode *MainWindow::selectedNode() const
{
    return m_model->node(treeView->currentIndex());
}

void MainWindow::selectNode(DialogNode *node)
{
    const QModelIndex index = m_model->indexOf(node);
    treeView->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    if (index.isValid())
        treeView->scrollTo(index);
}

void MainWindow::guarded(const std::function<void()> &command)
{
    try {
        command();
    } catch (const AppError &error) {
        m_prompter.error(error.text());
    }
}

void MainWindow::tellLater(const QString &text)
{
    QMetaObject::invokeMethod(
        this, [this, text] { m_prompter.message(text); }, Qt::QueuedConnection);
}

void MainWindow::showNotice(const QString &text)
{
    // The bar is made with the first notice, so the window keeps its designed size until then.
    // A label, not the bar's message, which the menus' status tips would wipe out.
    if (!m_notice) {
        if (text.isEmpty())
            return;
        m_notice = named(new QLabel(this), "noticeLabel");
        m_notice->setTextInteractionFlags(Qt::TextSelectableByMouse);
        statusBar()->addWidget(m_notice, 1);
    }
    m_notice->setText(text);
    statusBar()->setVisible(!text.isEmpty());
}

void MainWindow::noteSelectionChange()
{
    SearchPosition = -1;
    Modified = true;
}

bool MainWindow::confirmClose()
{
    if (!Modified)
        return true;
    return m_prompter.confirmUnsaved(
        QStringLiteral("Dialog has been changed!\n\rDo you want to quit without saving?"),
        Prompter::Answer::No);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (confirmClose())
        event->accept();
    else
        event->ignore();
}

void MainWindow::buildMenus()
{
    QMenuBar *bar = menuBar();
    QMenu *file = bar->addMenu(QStringLiteral("&File"));
    newAction = named(file->addAction(QStringLiteral("&New...")), names::newAction);
    newAction->setShortcut(QKeySequence(QStringLiteral("Ctrl+N")));
    file->addSeparator();
    openAction = named(file->addAction(QStringLiteral("&Open...")), names::openAction);
    openAction->setShortcut(QKeySequence(QStringLiteral("Ctrl+O")));
    openRecentMenu = named(file->addMenu(QStringLiteral("Open &Recent")), names::openRecentMenu);
    for (size_t slot = 0; slot < recentFileActions.size(); ++slot)
        recentFileActions[slot] = named(openRecentMenu->addAction(QStringLiteral("empty")),
                                        names::recentFileActions[slot]);
    file->addSeparator();
    saveAction = named(file->addAction(QStringLiteral("&Save")), names::saveAction);
    saveAction->setShortcut(QKeySequence(QStringLiteral("Ctrl+S")));
    saveAsAction = named(file->addAction(QStringLiteral("Save &As...")), names::saveAsAction);
    file->addSeparator();
    closeAction = named(file->addAction(Icons::icon(Icons::Close), QStringLiteral("&Close")),
                        names::closeAction);
    connect(closeAction, &QAction::triggered, this, &QWidget::close);

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
    changeConfigAction = named(options->addAction(QStringLiteral("Change config file...")),
                               names::changeConfigAction);
    changeConfigAction->setShortcut(QKeySequence(QStringLiteral("Ctrl+E")));
    options->addSeparator();
    programOptionsAction = named(options->addAction(QStringLiteral("Program Options...")),
                                 names::programOptionsAction);
    programOptionsAction->setShortcut(QKeySequence(QStringLiteral("Ctrl+P")));
    options->addSeparator();
    enableActionsAction =
        named(options->addAction(QStringLiteral("Enable &actions")), names::enableActionsAction);
    enableActionsAction->setCheckable(true);

    QMenu *tools = bar->addMenu(QStringLiteral("&Tools"));
    fontGeneratorAction =
        named(tools->addAction(QStringLiteral("&Font generator")), names::fontGeneratorAction);
    fontGeneratorAction->setShortcut(QKeySequence(QStringLiteral("Ctrl+F")));

    aboutAction = named(bar->addAction(QStringLiteral("&About")), names::aboutAction);
}

QWidget *MainWindow::buildLeftColumn()
{
    auto *column = new QWidget(this);
    auto *layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    treeView = named(new DialogTreeView(column), names::treeView);
    treeView->setDialogModel(m_model);
    treeMenu = named(new QMenu(treeView), names::treeMenu);
    treeMenu->addActions({undoAction, redoAction});
    treeView->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(treeView, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { treeMenu->popup(treeView->viewport()->mapToGlobal(at)); });
    layout->addWidget(treeView, 1);

    auto *panel = named(new QWidget(column), names::editPanel);
    panel->setFixedHeight(kEditPanelHeight);
    auto *row = new QHBoxLayout(panel);
    row->setContentsMargins(6, 6, 6, 6);
    nodeTextField = named(new QLineEdit(panel), names::nodeTextField);
    updateSelectedButton =
        pictureButton(panel, names::updateSelectedButton, Icons::Update,
                      QStringLiteral("Update selected"), QStringLiteral("Update selected"));
    row->addWidget(nodeTextField, 1);
    row->addWidget(updateSelectedButton);
    layout->addWidget(panel);
    return column;
}

QWidget *MainWindow::buildRightColumn()
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

QWidget *MainWindow::buildAddDialogGroup()
{
    addDialogGroup =
        named(new QGroupBox(QStringLiteral(" Add dialog "), this), names::addDialogGroup);
    auto *grid = new QGridLayout(addDialogGroup);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setVerticalSpacing(2);
    grid->addWidget(new QLabel(QStringLiteral("Text"), addDialogGroup), 0, 0, 1, 3);
    dialogTextEdit = named(new QPlainTextEdit(addDialogGroup), names::dialogTextEdit);
    dialogTextEdit->setLineWrapMode(QPlainTextEdit::NoWrap);
    dialogTextEdit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    dialogTextEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    dialogTextEdit->setTabChangesFocus(true);
    dialogTextEdit->setFixedHeight(66);
    grid->addWidget(dialogTextEdit, 1, 0, 1, 3);
    playerSpeakingRadio = named(new QRadioButton(QStringLiteral("Player speaking"), addDialogGroup),
                                names::playerSpeakingRadio);
    entitySpeakingRadio = named(new QRadioButton(QStringLiteral("Entity speaking"), addDialogGroup),
                                names::entitySpeakingRadio);
    playerSpeakingRadio->setChecked(true);
    addAtEndCheck = named(new QCheckBox(QStringLiteral("Add always at the end"), addDialogGroup),
                          names::addAtEndCheck);
    addAtEndCheck->setChecked(true);
    addDialogButton = pictureButton(addDialogGroup, names::addDialogButton, Icons::AddDialog,
                                    QStringLiteral("Add dialog"), QStringLiteral("Add dialog"));
    grid->addWidget(playerSpeakingRadio, 2, 0);
    grid->addWidget(entitySpeakingRadio, 2, 1);
    grid->addWidget(addAtEndCheck, 3, 0, 1, 2);
    grid->addWidget(addDialogButton, 2, 2, 2, 1, Qt::AlignRight | Qt::AlignVCenter);
    return addDialogGroup;
}

QWidget *MainWindow::buildAddDecisionGroup()
{
    addDecisionGroup =
        named(new QGroupBox(QStringLiteral("Add decision "), this), names::addDecisionGroup);
    auto *grid = new QGridLayout(addDecisionGroup);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setVerticalSpacing(2);

    auto *buttons = new QVBoxLayout;
    buttons->setSpacing(2);
    addAnswerButton = pictureButton(addDecisionGroup, names::addAnswerButton, Icons::AddChoice,
                                    QStringLiteral("Add choice"));
    removeAnswerButton = pictureButton(addDecisionGroup, names::removeAnswerButton,
                                       Icons::RemoveChoice, QStringLiteral("Remove choice"));
    clearAnswersButton = pictureButton(addDecisionGroup, names::clearAnswersButton,
                                       Icons::ClearChoices, QStringLiteral("Clear choices"));
    buttons->addWidget(addAnswerButton);
    buttons->addWidget(removeAnswerButton);
    buttons->addWidget(clearAnswersButton);
    buttons->addStretch();
    grid->addLayout(buttons, 0, 0);

    answerTable = named(new QTreeWidget(addDecisionGroup), names::answerTable);
    answerTable->setColumnCount(2);
    answerTable->setHeaderLabels({QStringLiteral("Choice"), QStringLiteral("Text")});
    answerTable->setRootIsDecorated(false);
    answerTable->setSelectionMode(QAbstractItemView::SingleSelection);
    answerTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    answerTable->setColumnWidth(0, 60);
    answerTable->setColumnWidth(1, 315);
    answerTable->setMinimumHeight(70);
    grid->addWidget(answerTable, 0, 1, 1, 3);

    grid->addWidget(new QLabel(QStringLiteral("Text"), addDecisionGroup), 1, 0,
                    Qt::AlignRight | Qt::AlignVCenter);
    answerTextField = named(new QLineEdit(addDecisionGroup), names::answerTextField);
    grid->addWidget(answerTextField, 1, 1, 1, 2);
    addDecisionButton =
        pictureButton(addDecisionGroup, names::addDecisionButton, Icons::AddDecision,
                      QStringLiteral("Add decision"), QStringLiteral("Add decision"));
    grid->addWidget(addDecisionButton, 1, 3);
    grid->setColumnStretch(1, 1);
    return addDecisionGroup;
}

QWidget *MainWindow::buildActionTabs()
{
    actionTabs = named(new QTabWidget(this), names::actionTabs);

    variableGroup = actionGroup(actionTabs, QStringLiteral("Variable operation"),
                                names::variableGroup, QStringLiteral(" Add variable operation "));
    auto *variable = new QGridLayout(variableGroup);
    variable->setVerticalSpacing(2);
    variableNameCombo = named(new QComboBox(variableGroup), names::variableNameCombo);
    variableNameCombo->setEditable(true);
    variableNameCombo->setInsertPolicy(QComboBox::NoInsert);
    variableTypeCombo = named(new QComboBox(variableGroup), names::variableTypeCombo);
    variableTypeCombo->addItems(
        {QStringLiteral("Short"), QStringLiteral("Float"), QStringLiteral("String")});
    variableValueField = named(new QLineEdit(variableGroup), names::variableValueField);
    addVariableButton = pictureButton(variableGroup, names::addVariableButton, Icons::AddAction,
                                      QStringLiteral("Add decision"));
    variable->addWidget(new QLabel(QStringLiteral("Var name:"), variableGroup), 0, 0);
    variable->addWidget(variableNameCombo, 0, 1);
    variable->addWidget(new QLabel(QStringLiteral("Var type:"), variableGroup), 1, 0);
    variable->addWidget(variableTypeCombo, 1, 1);
    variable->addWidget(new QLabel(QStringLiteral("New value:"), variableGroup), 2, 0);
    variable->addWidget(variableValueField, 2, 1);
    variable->addWidget(addVariableButton, 2, 2);
    variable->setColumnStretch(1, 1);

    callGroup = actionGroup(actionTabs, QStringLiteral("Function call"), names::callGroup,
                            QStringLiteral(" Add function call "));
    auto *call = new QGridLayout(callGroup);
    call->setVerticalSpacing(2);
    functionCallCombo = named(new QComboBox(callGroup), names::functionCallCombo);
    functionCallCombo->setEditable(true);
    functionCallCombo->setInsertPolicy(QComboBox::NoInsert);
    addCallButton = pictureButton(callGroup, names::addCallButton, Icons::AddAction,
                                  QStringLiteral("Add decision"));
    call->addWidget(new QLabel(QStringLiteral("Function name: "), callGroup), 0, 0);
    call->addWidget(functionCallCombo, 0, 1);
    call->addWidget(addCallButton, 0, 2);
    call->addWidget(
        new QLabel(QStringLiteral("MyFunction, Param1, Param2, ..., Param4"), callGroup), 1, 1);
    call->setColumnStretch(1, 1);
    call->setRowStretch(2, 1);

    gotoGroup = actionGroup(actionTabs, QStringLiteral("Goto"), names::gotoGroup,
                            QStringLiteral(" Add Goto "));
    auto *jump = new QGridLayout(gotoGroup);
    gotoNumberField = numberField(gotoGroup, names::gotoNumberField, 1, 9999, 1);
    addGotoButton = pictureButton(gotoGroup, names::addGotoButton, Icons::AddAction,
                                  QStringLiteral("Add decision"));
    jump->addWidget(new QLabel(QStringLiteral("Go to dialog"), gotoGroup), 0, 0);
    jump->addWidget(gotoNumberField, 0, 1);
    jump->addWidget(addGotoButton, 0, 2);
    jump->setColumnStretch(3, 1);
    jump->setRowStretch(1, 1);

    deleteGroup = actionGroup(actionTabs, QStringLiteral("Delete"), names::deleteGroup,
                              QStringLiteral(" Delete dialog / choice "));
    auto *removal = new QGridLayout(deleteGroup);
    deleteChoiceField = numberField(deleteGroup, names::deleteChoiceField, 1, 9999, 1);
    deleteChoiceField->setEnabled(false);
    deleteDialogField = numberField(deleteGroup, names::deleteDialogField, 1, 9999, 1);
    addDeleteButton = pictureButton(deleteGroup, names::addDeleteButton, Icons::AddAction,
                                    QStringLiteral("Add decision"));
    removal->addWidget(new QLabel(QStringLiteral("Delete choice"), deleteGroup), 0, 0);
    removal->addWidget(deleteChoiceField, 0, 1);
    removal->addWidget(new QLabel(QStringLiteral("from dialog"), deleteGroup), 1, 0);
    removal->addWidget(deleteDialogField, 1, 1);
    removal->addWidget(addDeleteButton, 1, 2);
    removal->setColumnStretch(3, 1);

    actionTabs->setCurrentIndex(0);
    return actionTabs;
}

QWidget *MainWindow::buildSearchGroup()
{
    searchGroup = named(new QGroupBox(QStringLiteral(" Search "), this), names::searchGroup);
    auto *row = new QHBoxLayout(searchGroup);
    row->setContentsMargins(6, 2, 6, 4);
    row->addWidget(new QLabel(QStringLiteral("Text"), searchGroup));
    searchField = named(new QLineEdit(searchGroup), names::searchField);
    row->addWidget(searchField, 1);
    searchButton = pictureButton(searchGroup, names::searchButton, Icons::Search,
                                 QStringLiteral("Search"), QStringLiteral("Search"));
    row->addWidget(searchButton);
    return searchGroup;
}

QWidget *MainWindow::buildBottomRow()
{
    auto *bottom = new QWidget(this);
    auto *row = new QHBoxLayout(bottom);
    row->setContentsMargins(0, 0, 0, 0);
    row->addStretch();
    deleteSelectedButton = pictureButton(bottom, names::deleteSelectedButton, Icons::Delete,
                                         QStringLiteral("Delete selected"));
    generateProjectButton = pictureButton(bottom, names::generateProjectButton, Icons::Generate,
                                          QStringLiteral("Generate Project"));
    // Shows the picture of the Close command and has no hint.
    saveChangesButton = pictureButton(bottom, names::saveChangesButton, Icons::Close, QString());
    for (QToolButton *button : {deleteSelectedButton, generateProjectButton, saveChangesButton}) {
        button->setFixedSize(34, 34);
        row->addWidget(button);
    }
    return bottom;
}
