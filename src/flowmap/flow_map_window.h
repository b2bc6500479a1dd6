#pragma once

#include "document/dialog_node.h"

#include <QWidget>
#include <functional>

class DialogTree;
class FlowMapView;
class Prompter;
class QAbstractItemModel;
class QAction;
class QLabel;
class QLineEdit;
class QMenu;

// The flow map beside the main window: the view, its zoom commands, a find bar (Ctrl+F), a line
// that counts what the map shows, "Export..." for a picture of the whole map as SVG or PNG, and
// the context menu of a box. It follows every change of the document through the tree model's
// signals; the changes the author makes in it leave through its signals, for the commands that
// edit the document.
class FlowMapWindow : public QWidget
{
    Q_OBJECT
public:
    using Current = std::function<const DialogNode *()>;
    // The file of the document the map shows (empty: none): a picture must not replace it, and
    // Export proposes a name made from it.
    using DocumentFile = std::function<QString()>;

    FlowMapWindow(const DialogTree &tree, QAbstractItemModel *changes, Current current,
                  DocumentFile documentFile, Prompter &prompter, QWidget *parent = nullptr);

    FlowMapView *view() const { return m_view; }
    // Asks for a file name and writes the map there: PNG when the name ends in ".png", SVG
    // otherwise (".svg" is added to a name without a suffix).
    void exportPicture();
    // Writes the map to fileName; throws AppError when the file cannot be written, is the
    // document's own file or is too large a picture.
    void writePicture(const QString &fileName);
    // Commands of other parts that act on the selected dialog (cut, copy, delete, reading from
    // it...): they join the end of a box's context menu, a group each call, and their keys work
    // in this window. The box is selected in the tree before the menu shows.
    void addMenuActions(const QList<QAction *> &actions);
    // The context menu of box as it would show; answer is the answer line clicked on a choice.
    QMenu *boxMenu(int box, int answer);
    // While on (Options > "Enable actions"), a text box's goto can be dragged to another box.
    void setGotoEditing(bool enabled);

    QAction *exportAction;
    QAction *zoomInAction;
    QAction *zoomOutAction;
    QAction *fitAction;
    QAction *findAction;

signals:
    void dialogClicked(const DialogNode *dialog);
    // The text of a text dialog or an answer (holder: its choice node), edited in place.
    void textCommitted(const DialogNode *holder, const QString &text);
    // A new text or choice dialog right after dialog.
    void addAfterRequested(const DialogNode *dialog, bool choice);
    void addAnswerRequested(const DialogNode *choiceDialog);
    void speakerRequested(const DialogNode *dialog, bool player);
    // A goto dragged onto target, or off every box (no target).
    void gotoDropped(const DialogNode *dialog, const DialogNode *target);
    void deleteRequested(const DialogNode *dialog);

protected:
    void showEvent(QShowEvent *event) override;

private:
    // texts: only node texts changed.
    void documentChanged(bool texts);
    void updateSummary();
    void showFindBar();
    void hideFindBar();
    void updateFound(int place);

    DocumentFile m_documentFile;
    Prompter &m_prompter;
    FlowMapView *m_view;
    QLabel *m_summary;
    QWidget *m_findBar;
    QLineEdit *m_findField;
    QLabel *m_foundCount;
    QList<QList<QAction *>> m_menuActions;
    bool m_shownBefore = false;
    bool m_summaryQueued = false;
};
