#include "dialog_tree_view.h"

#include "dialog_tree_accessible.h"
#include "dialog_tree_model.h"
#include "tree_changes.h"

#include "document/dialog_node.h"
#include "document/node_text.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDrag>
#include <QDropEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <QToolTip>

namespace {

const QString kDragMarkFormat = QStringLiteral("application/x-talmero-tree-drag");

} // namespace

DialogTreeView::DialogTreeView(QWidget *parent) : QTreeView(parent)
{
    DialogTreeAccessible::install();
    setHeaderHidden(true);
    setUniformRowHeights(true);
    // The rows are flat for the base class; the levels are drawn here.
    setRootIsDecorated(false);
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
}

void DialogTreeView::setDialogModel(DialogTreeModel *model)
{
    m_model = model;
    model->setBaseFont(font());
    setModel(model);
    // Items handed to assistive technology stand for nodes that a change may remove.
    connectTreeChanges(model, this, [this] {
        if (m_accessible)
            m_accessible->forgetItems();
    });
}

void DialogTreeView::setAccessibleTree(DialogTreeAccessible *accessible)
{
    m_accessible = accessible;
}

DialogNode *DialogTreeView::nodeAt(const QPoint &viewportPos) const
{
    return m_model ? m_model->node(indexAt(viewportPos)) : nullptr;
}

int DialogTreeView::indentOf(const DialogNode *node) const
{
    return node ? (node->level() + 1) * indentation() : 0;
}

QRect DialogTreeView::visualRect(const QModelIndex &index) const
{
    QRect rect = QTreeView::visualRect(index);
    if (rect.isValid())
        rect.setLeft(rect.left() + indentOf(m_model->node(index)));
    return rect;
}

void DialogTreeView::drawRow(QPainter *painter, const QStyleOptionViewItem &option,
                             const QModelIndex &index) const
{
    const DialogNode *node = m_model->node(index);
    const int left = columnViewportPosition(0);
    const int width = columnWidth(0);
    const int indent = indentOf(node);
    QStyleOptionViewItem item = option;
    item.showDecorationSelected =
        (selectionBehavior() & SelectRows) || option.showDecorationSelected;
    if (selectionModel()->isSelected(index))
        item.state |= QStyle::State_Selected;
    if (hasFocus() && currentIndex() == index)
        item.state |= QStyle::State_HasFocus;
    // Styles that mark the row under the pointer get it as they would from any tree.
    if (viewport()->underMouse() && indexAt(viewport()->mapFromGlobal(QCursor::pos())) == index)
        item.state |= QStyle::State_MouseOver;
    item.palette.setCurrentColorGroup(item.state & QStyle::State_Active ? QPalette::Active
                                                                        : QPalette::Inactive);

    // The branch part takes the selection's colour where the style says so; the item's part is
    // left to the delegate.
    const QRect branches(left, option.rect.y(), indent, option.rect.height());
    item.rect = branches;
    style()->drawPrimitive(QStyle::PE_PanelItemViewRow, &item, painter, this);
    drawBranches(painter, branches, node, item.state);

    item.rect = QRect(left + indent, option.rect.y(), width - indent, option.rect.height());
    const QStyle::State state = item.state;
    item.state &= ~QStyle::State_Selected;
    style()->drawPrimitive(QStyle::PE_PanelItemViewRow, &item, painter, this);
    item.state = state;
    itemDelegateForIndex(index)->paint(painter, item, index);
    drawReferenceHint(painter, item, index);
}

void DialogTreeView::dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                                 const QList<int> &roles)
{
    QTreeView::dataChanged(topLeft, bottomRight, roles);
    // A goto or delete node shows what the dialog it names says: a change of another row (a
    // dialog's text or answers, a label), by whatever command or undo, may change its hint.
    viewport()->update();
}

void DialogTreeView::drawReferenceHint(QPainter *painter, const QStyleOptionViewItem &item,
                                       const QModelIndex &index) const
{
    const QString hint = m_model->referenceHint(m_model->node(index));
    if (hint.isEmpty())
        return;
    const QFontMetrics metrics(item.font);
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    const int left = item.rect.left() + margin +
                     metrics.horizontalAdvance(index.data(Qt::DisplayRole).toString()) +
                     2 * margin + metrics.averageCharWidth();
    const QRect room(left, item.rect.top(), item.rect.right() - left - margin, item.rect.height());
    if (room.width() <= metrics.averageCharWidth())
        return;
    const bool selected = item.state & QStyle::State_Selected;
    QColor colour = item.palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
    colour.setAlphaF(0.55f);
    painter->save();
    painter->setFont(item.font);
    painter->setPen(colour);
    painter->drawText(
        room, Qt::AlignLeft | Qt::AlignVCenter,
        metrics.elidedText(QStringLiteral("\u2192 ") + hint, Qt::ElideRight, room.width()));
    painter->restore();
}

void DialogTreeView::drawBranches(QPainter *painter, const QRect &rect, const DialogNode *node,
                                  QStyle::State state) const
{
    if (!node)
        return;
    QStyleOptionViewItem mark;
    initViewItemOption(&mark);
    const QStyle::State common = state & (QStyle::State_Enabled | QStyle::State_Active |
                                          QStyle::State_Selected | QStyle::State_MouseOver);
    // The node's own mark, then one line per level outwards where that level goes on below.
    // Marks right of the viewport are not drawn: a deep node's indentation can be far wider.
    const int visibleRight = viewport()->width();
    QRect primitive(rect.right() + 1 - indentation(), rect.top(), indentation(), rect.height());
    mark.rect = primitive;
    mark.state = QStyle::State_Item | common;
    if (node->nextSibling())
        mark.state |= QStyle::State_Sibling;
    if (node->childCount() > 0)
        mark.state |= QStyle::State_Children | QStyle::State_Open;
    if (primitive.left() < visibleRight)
        style()->drawPrimitive(QStyle::PE_IndicatorBranch, &mark, painter, this);
    for (const DialogNode *n = node->parent(); n; n = n->parent()) {
        primitive.moveLeft(primitive.left() - indentation());
        if (primitive.left() >= visibleRight || !n->nextSibling())
            continue;
        mark.rect = primitive;
        mark.state = common | QStyle::State_Sibling;
        style()->drawPrimitive(QStyle::PE_IndicatorBranch, &mark, painter, this);
    }
}

bool DialogTreeView::isOnBranchMark(const QPoint &viewportPos) const
{
    const DialogNode *node = nodeAt(viewportPos);
    if (!node || node->childCount() == 0)
        return false;
    const int right = columnViewportPosition(0) + indentOf(node);
    return viewportPos.x() < right && viewportPos.x() >= right - indentation();
}

QModelIndex DialogTreeView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    // Where the style walks the tree with the arrow keys, left goes up to the parent and right
    // down to the first child; elsewhere they scroll sideways.
    const DialogNode *node = m_model ? m_model->node(currentIndex()) : nullptr;
    if (node &&
        style()->styleHint(QStyle::SH_ItemView_ArrowKeysNavigateIntoChildren, nullptr, this)) {
        if (action == MoveLeft && node->parent())
            return m_model->indexOf(node->parent());
        if (action == MoveRight && node->childCount() > 0)
            return m_model->indexOf(node->child(0));
    }
    return QTreeView::moveCursor(action, modifiers);
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
    // A node's open mark takes no click: it neither selects nor collapses.
    if (isOnBranchMark(event->position().toPoint())) {
        event->accept();
        return;
    }
    QTreeView::mousePressEvent(event);
}

void DialogTreeView::mouseMoveEvent(QMouseEvent *event)
{
    if (isOnBranchMark(event->position().toPoint())) {
        event->accept();
        return;
    }
    QTreeView::mouseMoveEvent(event);
}

void DialogTreeView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    if (!isOnBranchMark(event->position().toPoint()))
        QTreeView::mouseReleaseEvent(event);
    emit clickedAnywhere();
}

void DialogTreeView::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    if (!isOnBranchMark(event->position().toPoint()))
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
    // A dragged dialog lands before the dialog under the pointer: a line above that row says so.
    const DialogNode *target = nodeAt(event->position().toPoint());
    const QRect row = target && NodeText::isDialog(target->text())
                          ? visualRect(m_model->indexOf(target))
                          : QRect();
    const QRect mark = row.isNull() ? QRect() : QRect(row.left(), row.top() - 1, row.width(), 3);
    if (mark != m_dropMark) {
        viewport()->update(m_dropMark.adjusted(0, -1, 0, 1));
        m_dropMark = mark;
        viewport()->update(m_dropMark.adjusted(0, -1, 0, 1));
    }
}

void DialogTreeView::dragLeaveEvent(QDragLeaveEvent *event)
{
    QTreeView::dragLeaveEvent(event);
    clearDropMark();
}

void DialogTreeView::clearDropMark()
{
    viewport()->update(m_dropMark.adjusted(0, -1, 0, 1));
    m_dropMark = QRect();
}

void DialogTreeView::paintEvent(QPaintEvent *event)
{
    QTreeView::paintEvent(event);
    QPainter painter(viewport());
    if (!m_dropMark.isNull())
        painter.fillRect(m_dropMark, palette().color(QPalette::Highlight));
    // With the focus but no current row, the tree still shows that keys go to it.
    if (hasFocus() && !currentIndex().isValid()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = viewport()->rect().adjusted(1, 1, -1, -1);
        focus.backgroundColor = palette().color(QPalette::Base);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

bool DialogTreeView::viewportEvent(QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return QTreeView::viewportEvent(event);
    // A row cut off at the right edge shows its whole text; a whole row needs no tip.
    auto *help = static_cast<QHelpEvent *>(event);
    const QModelIndex index = indexAt(help->pos());
    const DialogNode *node = m_model->node(index);
    if (!node) {
        QToolTip::hideText();
        return true;
    }
    const QString text = index.data(Qt::DisplayRole).toString();
    const QFont font =
        index.data(Qt::FontRole).isValid() ? index.data(Qt::FontRole).value<QFont>() : this->font();
    const int needed = visualRect(index).left() + QFontMetrics(font).horizontalAdvance(text) +
                       2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1);
    if (needed > viewport()->width())
        QToolTip::showText(help->globalPos(), text, viewport());
    else
        QToolTip::hideText();
    return true;
}

void DialogTreeView::dropEvent(QDropEvent *event)
{
    if (!isOwnDrag(event->mimeData())) {
        event->ignore();
        return;
    }
    stopAutoScroll();
    clearDropMark();
    DialogNode *target = nodeAt(event->position().toPoint());
    event->setDropAction(Qt::IgnoreAction);
    event->accept();
    setState(NoState);
    emit nodeDropped(target);
}
