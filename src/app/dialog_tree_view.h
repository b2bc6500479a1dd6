#pragma once

#include <QTreeView>

class DialogNode;
class DialogTreeModel;
class QMimeData;

// The tree control of the main window. No node can be collapsed, by mouse or keyboard. Labels
// are edited in place by clicking the text of the selected node (or F2). A drag starts by itself
// when the mouse moves with a button held on a node; drops are reported, never carried out by
// the view itself, so Qt adds no behaviour of its own (no copy, no move between rows).
class DialogTreeView : public QTreeView
{
    Q_OBJECT
public:
    explicit DialogTreeView(QWidget *parent = nullptr);

    void setDialogModel(DialogTreeModel *model);
    DialogTreeModel *dialogModel() const { return m_model; }

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
    void focusInEvent(QFocusEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void startDrag(Qt::DropActions supportedActions) override;

private:
    bool isOwnDrag(const QMimeData *data) const;
    QByteArray dragMark() const;

    DialogTreeModel *m_model = nullptr;
};
