#include "dialog_tree_view.h"

#include "dialog_tree_model.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDrag>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>

namespace {

const QString kDragMarkFormat = QStringLiteral("application/x-talmero-tree-drag");

} // namespace

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

void DialogTreeView::focusInEvent(QFocusEvent *event)
{
    // Qt makes the first node current when an item view without a current node gets the focus.
    // Here that would select "Root" behind the author's back and mark the document changed.
    if (!currentIndex().isValid()) {
        QAbstractScrollArea::focusInEvent(event);
        viewport()->update();
        return;
    }
    QTreeView::focusInEvent(event);
}

// Only the left button selects, clicks and drags: a right or middle click leaves the selection
// and the document as they are.
void DialogTreeView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    // A press below the last row selects nothing, and the selected node, on which the commands
    // still act, stays shown as selected.
    if (!indexAt(event->position().toPoint()).isValid()) {
        setFocus(Qt::MouseFocusReason);
        event->accept();
        return;
    }
    QTreeView::mousePressEvent(event);
}

void DialogTreeView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    QTreeView::mouseReleaseEvent(event);
    emit clickedAnywhere();
}

void DialogTreeView::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
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

QByteArray DialogTreeView::dragMark() const
{
    return QByteArray::number(QCoreApplication::applicationPid()) + ':' +
           QByteArray::number(quintptr(this), 16);
}

QMimeData *DialogTreeView::dragMimeData() const
{
    const QModelIndex index = currentIndex();
    QMimeData *data = index.isValid() ? m_model->mimeData({index}) : new QMimeData;
    data->setData(kDragMarkFormat, dragMark());
    return data;
}

bool DialogTreeView::isOwnDrag(const QMimeData *data) const
{
    return data && data->data(kDragMarkFormat) == dragMark();
}

void DialogTreeView::startDrag(Qt::DropActions)
{
    const QModelIndex index = currentIndex();
    if (!index.isValid())
        return;
    auto *drag = new QDrag(this);
    drag->setMimeData(dragMimeData());
    const QRect rect = visualRect(index);
    drag->setPixmap(viewport()->grab(rect));
    drag->setHotSpot(viewport()->mapFromGlobal(QCursor::pos()) - rect.topLeft());
    // Only a move is offered, and whatever the drop answers, the view itself removes no rows:
    // the drop handler alone changes the tree.
    drag->exec(Qt::MoveAction, Qt::MoveAction);
}

void DialogTreeView::dragEnterEvent(QDragEnterEvent *event)
{
    if (!isOwnDrag(event->mimeData())) {
        event->ignore();
        return;
    }
    QTreeView::dragEnterEvent(event);
    event->acceptProposedAction();
}

void DialogTreeView::dragMoveEvent(QDragMoveEvent *event)
{
    if (!isOwnDrag(event->mimeData())) {
        event->ignore();
        return;
    }
    // The base class scrolls near the edges; the answer is ours: every drag from this tree is
    // accepted wherever the pointer is.
    QTreeView::dragMoveEvent(event);
    event->acceptProposedAction();
}

void DialogTreeView::dropEvent(QDropEvent *event)
{
    if (!isOwnDrag(event->mimeData())) {
        event->ignore();
        return;
    }
    stopAutoScroll();
    DialogNode *target = nodeAt(event->position().toPoint());
    event->setDropAction(Qt::IgnoreAction);
    event->accept();
    setState(NoState);
    emit nodeDropped(target);
}
