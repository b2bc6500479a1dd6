#pragma once

#include "document/dialog_tree.h"
#include "platform/program_folder.h"
#include "platform/prompter.h"

#include <QMainWindow>
#include <functional>

class DialogTreeModel;
class DialogTreeView;
class ShellServices;
class UndoHistory;
class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
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
// window and that connect themselves to its controls. Controls carry the names the rest of the
// program knows them by.
class TForm1 : public QMainWindow
{
    Q_OBJECT
public:
    TForm1(const ProgramFolder &programFolder, Prompter &prompter, ShellServices &shell,
           QWidget *parent = nullptr);
    ~TForm1() override;

    // The window's own creation steps: the empty document and the configuration dialog's
    // folder. The program reads the recent list and opens the command-line file around them.
    void FormCreate();

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

    // State of the open document.
    bool Modified = false;
    QString CurrentFileName;
    QString PlaceMode;
    int SearchPosition = -1;

    // The file dialogs of the window.
    FileDialogRequest OpenDialog1;
    FileDialogRequest SaveDialog1;
    FileDialogRequest OpenDialog2;

    // Menus.
    QAction *New1;
    QAction *Open1;
    QMenu *OpenRecent1;
    QAction *N4;
    QAction *empty1;
    QAction *empty2;
    QAction *empty3;
    QAction *empty4;
    QAction *Save1;
    QAction *SaveAs1;
    QAction *Exit1;
    QAction *undoAction;
    QAction *redoAction;
    QAction *Edit4;
    QAction *Options1;
    QAction *Open4;
    QAction *About1;

    // Left column.
    DialogTreeView *TreeView1;
    QLineEdit *Edit1;
    QToolButton *SpeedButton13;

    // " Add dialog ".
    QGroupBox *GroupBox2;
    QPlainTextEdit *Memo1;
    QRadioButton *RadioButton1;
    QRadioButton *RadioButton2;
    QCheckBox *CheckBox3;
    QToolButton *SpeedButton7;

    // "Add decision ".
    QGroupBox *GroupBox3;
    QTreeWidget *ListView1;
    QToolButton *SpeedButton8;
    QToolButton *SpeedButton9;
    QToolButton *SpeedButton10;
    QLineEdit *Edit5;
    QToolButton *SpeedButton11;

    // The action tabs.
    QTabWidget *PageControl1;
    QGroupBox *GroupBox4;
    QComboBox *ComboBox1;
    QComboBox *ComboBox3;
    QLineEdit *Edit7;
    QToolButton *SpeedButton1;
    QGroupBox *GroupBox6;
    QComboBox *ComboBox2;
    QToolButton *SpeedButton2;
    QGroupBox *GroupBox7;
    QSpinBox *SpinEdit1;
    QToolButton *SpeedButton3;
    QGroupBox *GroupBox8;
    QSpinBox *SpinEdit2;
    QSpinBox *SpinEdit3;
    QToolButton *SpeedButton4;

    // " Search ".
    QGroupBox *GroupBox1;
    QLineEdit *Edit3;
    QToolButton *SpeedButton12;

    // The bottom row.
    QToolButton *SpeedButton14;
    QToolButton *SpeedButton6;
    QToolButton *SpeedButton5;

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

    // The tree control's own events.
    void TreeView1Changing();
    // The close question.
    bool FormClose();

    ProgramFolder m_programFolder;
    Prompter &m_prompter;
    ShellServices &m_shell;
    DialogTree m_document;
    DialogTreeModel *m_model;
    UndoHistory *m_history = nullptr;
};
