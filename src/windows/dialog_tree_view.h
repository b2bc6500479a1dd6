#pragma once

#include <QTreeView>

class DialogNode;
class DialogTreeAccessible;
class DialogTreeModel;
class QMimeData;

// The tree control of the main window. Every node is shown open, always: there is no closed
// state, so no node can be collapsed, by mouse or keyboard, and whatever the program asks to be
// expanded already is. The model is a flat list of rows (DialogTreeModel); this view indents
// each row by its level and draws the branch marks and lines itself. Labels are edited in place
// by clicking the text of the selected node (or F2). A drag starts by itself
// when the mouse moves with a button held on a node; drops are reported, never carried out by
// the view itself, so Qt adds no behaviour of its own (no copy, no move between rows).
class DialogTreeView : public QTreeView
{
    Q_OBJECT
public:
    explicit DialogTreeView(QWidget *parent = nullptr);

    void setDialogModel(DialogTreeModel *model);
    DialogTreeModel *dialogModel() const { return m_model; }
    // The interface assistive technology holds of this view, told of every change of the tree.
    void setAccessibleTree(DialogTreeAccessible *accessible);

    // The item's place: right of its level's indentation, as in any tree.
    QRect visualRect(const QModelIndex &index) const override;

    // The node under a point of the viewport; none over empty space.
    DialogNode *nodeAt(const QPoint &viewportPos) const;
    bool isEditingLabel() const { return state() == EditingState; }
    // What a drag of the selected node carries: the model's data and a mark naming this tree,
    // by which a drop tells drags from this tree from all others.
    QMimeData *dragMimeData() const;

signals:
    // Every mouse click in the tree, after the click changed the selection.
    void clickedAnywhere();
    // Every double-click in the tree, after the first click selected the node under it.
    void doubleClickedAnywhere();
    // The Delete key was released while the tree (not its label editor) had the focus.
    void deleteKeyReleased();
    // A drag that started in this tree was dropped; target is the node under the drop point,
    // none over empty space.
    void nodeDropped(DialogNode *target);

protected:
    void dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                     const QList<int> &roles = QList<int>()) override;
    void drawRow(QPainter *painter, const QStyleOptionViewItem &option,
                 const QModelIndex &index) const override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void focusInEvent(QFocusEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    void startDrag(Qt::DropActions supportedActions) override;

private:
    // Width of the part of a row left of the node's text: one step per level, and one more for
    // the branch marks of the top level.
    int indentOf(const DialogNode *node) const;
    void drawBranches(QPainter *painter, const QRect &rect, const DialogNode *node,
                      QStyle::State state) const;
    // Whether a point lies on the branch mark of a node with children, which a click leaves
    // alone.
    bool isOnBranchMark(const QPoint &viewportPos) const;
    // After a goto or delete node's text, in a lighter colour, what the dialog it names says.
    void drawReferenceHint(QPainter *painter, const QStyleOptionViewItem &item,
                           const QModelIndex &index) const;
    bool isOwnDrag(const QMimeData *data) const;
    QByteArray dragMark() const;

    void clearDropMark();

    DialogTreeModel *m_model = nullptr;
    DialogTreeAccessible *m_accessible = nullptr;
    // Where a dragged dialog would land, in the viewport; empty while no drag is over a dialog.
    QRect m_dropMark;
};
