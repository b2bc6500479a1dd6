#pragma once

#include "document/dialog_tree.h"
#include "platform/program_folder.h"
#include "platform/prompter.h"

#include <QMainWindow>
#include <array>
#include <functional>

class DialogTreeModel;
class DialogTreeView;
class ShellServices;
class UndoHistory;
class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class QToolButton;
class QTreeWidget;
class QWidget;

// The main window. It owns the one open dialog tree and the state that goes with it; the
// commands of each subsystem live in classes of their own that the program builds after this
// window and that connect themselves to its controls. Each control's object name is the one
// ObjectNames gives it.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    MainWindow(const ProgramFolder &programFolder, Prompter &prompter, ShellServices &shell,
               QWidget *parent = nullptr);
    ~MainWindow() override;

    // The window's own creation steps: the empty document and the configuration dialog's
    // folder. The program reads the recent list and opens the command-line file around them.
    void prepareEmptyDocument();

    UndoHistory &history() { return *m_history; }

    DialogTree &document() { return m_document; }
    Prompter &prompter() { return m_prompter; }
    ShellServices &shell() { return m_shell; }
    const ProgramFolder &programFolder() const { return m_programFolder; }

    // The selected node of the tree control; none when nothing is selected.
    DialogNode *selectedNode() const;
    // Selects node (none clears the selection); runs the selection-change handling.
    void selectNode(DialogNode *node);

    // Runs a command; an error it raises reaches the top-level error report and the program
    // goes on.
    void guarded(const std::function<void()> &command);
    // Shows text in a message box once the event loop comes to it: what start-up or a command
    // found, said once the window shows its result.
    void tellLater(const QString &text);
    // A line at the bottom of the window that stays until it is cleared (an empty text): a
    // state the author must know of, such as unsaved work that has no recovery copy.
    void showNotice(const QString &text);

    // State of the open document.
    bool Modified = false;
    QString CurrentFileName;
    QString PlaceMode;
    int SearchPosition = -1;

    // The file dialogs of the window.
    FileDialogRequest documentOpenDialog;
    FileDialogRequest documentSaveDialog;
    FileDialogRequest configOpenDialog;

    // Menus.
    QAction *newAction;
    QAction *openAction;
    QMenu *openRecentMenu;
    // The recent-files entries, newest first.
    std::array<QAction *, 5> recentFileActions;
    QAction *saveAction;
    QAction *saveAsAction;
    QAction *closeAction;
    QAction *undoAction;
    QAction *redoAction;
    QAction *changeConfigAction;
    QAction *programOptionsAction;
    // Checked: the action tabs work and Open keeps every action node. Kept per user.
    QAction *enableActionsAction;
    QAction *fontGeneratorAction;
    QAction *aboutAction;

    // Left column.
    DialogTreeView *treeView;
    // The tree's context menu (right click, the context-menu key); the commands add their items
    // before Undo and Redo.
    QMenu *treeMenu;
    QLineEdit *nodeTextField;
    QToolButton *updateSelectedButton;

    // " Add dialog ".
    QGroupBox *addDialogGroup;
    QPlainTextEdit *dialogTextEdit;
    QRadioButton *playerSpeakingRadio;
    QRadioButton *entitySpeakingRadio;
    QCheckBox *addAtEndCheck;
    QToolButton *addDialogButton;

    // "Add decision ".
    QGroupBox *addDecisionGroup;
    QTreeWidget *answerTable;
    QToolButton *addAnswerButton;
    QToolButton *removeAnswerButton;
    QToolButton *clearAnswersButton;
    QLineEdit *answerTextField;
    QToolButton *addDecisionButton;

    // The action tabs.
    QTabWidget *actionTabs;
    QGroupBox *variableGroup;
    QComboBox *variableNameCombo;
    QComboBox *variableTypeCombo;
    QLineEdit *variableValueField;
    QToolButton *addVariableButton;
    QGroupBox *callGroup;
    QComboBox *functionCallCombo;
    QToolButton *addCallButton;
    QGroupBox *gotoGroup;
    QSpinBox *gotoNumberField;
    QToolButton *addGotoButton;
    QGroupBox *deleteGroup;
    QSpinBox *deleteChoiceField;
    QSpinBox *deleteDialogField;
    QToolButton *addDeleteButton;

    // " Search ".
    QGroupBox *searchGroup;
    QLineEdit *searchField;
    QToolButton *searchButton;

    // The bottom row. The save-changes button shows the picture of the Close command.
    QToolButton *deleteSelectedButton;
    QToolButton *generateProjectButton;
    QToolButton *saveChangesButton;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenus();
    QWidget *buildLeftColumn();
    QWidget *buildRightColumn();
    QWidget *buildAddDialogGroup();
    QWidget *buildAddDecisionGroup();
    QWidget *buildActionTabs();
    QWidget *buildSearchGroup();
    QWidget *buildBottomRow();

    // A new current node: the search starts again from the top, and the document counts as
    // changed.
    void noteSelectionChange();
    // The close question.
    bool confirmClose();

    ProgramFolder m_programFolder;
    Prompter &m_prompter;
    ShellServices &m_shell;
    DialogTree m_document;
    DialogTreeModel *m_model;
    UndoHistory *m_history = nullptr;
    QLabel *m_notice = nullptr; // made with the first notice
};
