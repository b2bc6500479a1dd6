#include "dialog_tree_view.h"

#include "dialog_tree_model.h"

#include <QDropEvent>
#include <QKeyEvent>

DialogTreeView::DialogTreeView(QWidget *parent) : QTreeView(parent)
{
    setHeaderHidden(true);
    setUniformRowHeights(true);
    setIndentation(19);
    setSelectionMode(SingleSelection);
    setEditTriggers(SelectedClicked | EditKeyPressed);
    setExpandsOnDoubleClick(false);
    setItemsExpandable(false);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(false);
    setDragDropMode(DragDrop);
    setDefaultDropAction(Qt::MoveAction);
    // Whatever asks a node to collapse, it stays open.
    connect(this, &QTreeView::collapsed, this, [this](const QModelIndex &index) { expand(index); });
}

void DialogTreeView::setDialogModel(DialogTreeModel *model)
{
    m_model = model;
    model->setBaseFont(font());
    setModel(model);
}

DialogNode *DialogTreeView::nodeAt(const QPoint &viewportPos) const
{
    return m_model ? m_model->node(indexAt(viewportPos)) : nullptr;
}

void DialogTreeView::mouseReleaseEvent(QMouseEvent *event)
{
    QTreeView::mouseReleaseEvent(event);
    emit clickedAnywhere();
}

void DialogTreeView::mouseDoubleClickEvent(QMouseEvent *event)
{
    QTreeView::mouseDoubleClickEvent(event);
    emit doubleClickedAnywhere();
}

void DialogTreeView::keyReleaseEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Delete && !isEditingLabel() && !event->isAutoRepeat()) {
        emit deleteKeyReleased();
        event->accept();
        return;
    }
    QTreeView::keyReleaseEvent(event);
}

void DialogTreeView::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->source() == this)
        event->acceptProposedAction();
    else
        event->ignore();
}

void DialogTreeView::dragMoveEvent(QDragMoveEvent *event)
{
    // Every drag from this tree is accepted wherever the pointer is.
    if (event->source() == this)
        event->acceptProposedAction();
    else
        event->ignore();
}

void DialogTreeView::dropEvent(QDropEvent *event)
{
    if (event->source() != this) {
        event->ignore();
        return;
    }
    DialogNode *target = nodeAt(event->position().toPoint());
    // The drop is ours to carry out: report it, and tell the drag it moved nothing so that the
    // view does not remove the dragged rows.
    event->setDropAction(Qt::IgnoreAction);
    event->accept();
    setState(NoState);
    emit nodeDropped(target);
}
