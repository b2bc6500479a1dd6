#include "flow_map_view.h"

#include "flow_box_text.h"
#include "flow_overview.h"
#include "flow_painter.h"
#include "flow_text_editor.h"

#include "document/dialog_summary.h"
#include "document/node_text.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace {

constexpr double kMaxZoom = 4.0;
constexpr double kMinZoom = 0.001;
constexpr double kZoomStep = 1.25;
// The overview's longer side, and its distance from the view's corner.
constexpr int kOverviewSize = 180;
constexpr int kOverviewMargin = 8;
// How far from a goto handle's middle a press still takes it.
constexpr double kHandleReach = 9;

} // namespace

FlowMapView::FlowMapView(const DialogTree &tree, std::function<const DialogNode *()> current,
                         QWidget *parent)
    : QAbstractScrollArea(parent), m_tree(tree), m_current(std::move(current)),
      m_overview(new FlowOverview(viewport())), m_editor(new FlowTextEditor(viewport()))
{
    setObjectName(QStringLiteral("FlowMapView"));
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    setFocusPolicy(Qt::StrongFocus);
    horizontalScrollBar()->setSingleStep(24);
    verticalScrollBar()->setSingleStep(24);
    m_overview->hide();
    connect(m_overview, &FlowOverview::moveRequested, this, &FlowMapView::centreOn);
    connect(m_editor, &FlowTextEditor::committed, this, [this](const QString &text) {
        const DialogNode *holder = m_editedHolder;
        m_editedHolder = nullptr;
        setFocus();
        if (holder)
            emit textCommitted(holder, text);
    });
    connect(m_editor, &FlowTextEditor::cancelled, this, [this] {
        m_editedHolder = nullptr;
        setFocus();
    });
}

void FlowMapView::invalidate()
{
    if (m_stale)
        return;
    m_stale = true;
    m_overviewStale = true;
    // Drop the pointers into the document at once: the nodes may be gone.
    m_graph = FlowGraph();
    m_marked = -1;
    m_dragFrom = -1;
    if (m_editor->isVisible()) {
        m_editedHolder = nullptr;
        m_editor->hide();
    }
    viewport()->update();
}

void FlowMapView::textChanged()
{
    if (!m_wordsOnly || m_stale) {
        invalidate();
        return;
    }
    if (!m_findText.isEmpty())
        markFound();
    viewport()->update();
}

void FlowMapView::forget()
{
    m_folds.clear();
    clearFound();
    invalidate();
}

const FlowGraph &FlowMapView::graph()
{
    if (m_stale)
        build();
    return m_graph;
}

const FlowLayout &FlowMapView::layout()
{
    if (m_stale)
        build();
    return m_layout;
}

int FlowMapView::markedBox()
{
    if (m_stale)
        build();
    return m_marked;
}

void FlowMapView::build()
{
    FlowGraph whole = FlowGraph::build(m_tree);
    // Folds of answers that are gone go too; pointers are compared, never followed.
    std::vector<const DialogNode *> answers;
    for (const FlowGraph::Branch &branch : whole.branches())
        answers.push_back(branch.parent);
    std::sort(answers.begin(), answers.end());
    std::erase_if(m_folds, [&answers](const DialogNode *fold) {
        return !std::binary_search(answers.begin(), answers.end(), fold);
    });
    m_graph = m_folds.empty() ? std::move(whole) : whole.folded(m_folds);
    m_layout = FlowLayout::lay(m_graph);
    m_stale = false;
    m_marked = m_current ? m_graph.boxOf(m_current()) : -1;
    markFound();
    updateScrollBars();
    updateOverview();
}

void FlowMapView::showNode(const DialogNode *node)
{
    if (m_stale)
        build();
    m_marked = m_graph.boxOf(node);
    if (m_marked >= 0)
        ensureVisible(m_marked);
    viewport()->update();
}

void FlowMapView::selectBox(int box)
{
    if (m_stale)
        build();
    if (box < 0 || box >= int(m_graph.boxes().size()))
        return;
    m_marked = box;
    ensureVisible(box);
    viewport()->update();
    emit dialogClicked(m_graph.boxes()[size_t(box)].dialog);
}

void FlowMapView::ensureVisible(int box)
{
    const QRectF drawn = toViewport(m_layout.boxes()[size_t(box)]);
    // A box already in full view stays where it is: the author may have just clicked it.
    if (!QRectF(viewport()->rect()).contains(drawn))
        centreOn(m_layout.boxes()[size_t(box)].center());
}

void FlowMapView::centreOn(const QPointF &mapPoint)
{
    const QPointF centre = mapPoint * m_zoom;
    horizontalScrollBar()->setValue(int(centre.x() - viewport()->width() / 2.0));
    verticalScrollBar()->setValue(int(centre.y() - viewport()->height() / 2.0));
    viewport()->update();
}

QPoint FlowMapView::viewportPointOf(int box)
{
    if (m_stale)
        build();
    return toViewport(m_layout.boxes()[size_t(box)]).center().toPoint();
}

void FlowMapView::zoomBy(double factor, const QPointF &anchor)
{
    setZoom(m_zoom * factor, anchor);
}

void FlowMapView::zoomIn()
{
    zoomBy(kZoomStep, QRectF(viewport()->rect()).center());
}

void FlowMapView::zoomOut()
{
    zoomBy(1 / kZoomStep, QRectF(viewport()->rect()).center());
}

void FlowMapView::zoomToFit()
{
    const QSizeF size = layout().size();
    const double fit = std::min(viewport()->width() / std::max(1.0, size.width()),
                                viewport()->height() / std::max(1.0, size.height()));
    setZoom(std::clamp(fit, FlowPainter::numbersScale(), 1.0), QRectF(viewport()->rect()).center());
    if (m_marked >= 0 && fit < FlowPainter::numbersScale())
        ensureVisible(m_marked);
}

void FlowMapView::setZoom(double zoom, const QPointF &anchor)
{
    zoom = std::clamp(zoom, kMinZoom, kMaxZoom);
    const QPointF fixed = toMap(anchor);
    m_zoom = zoom;
    updateScrollBars();
    // The map point under the anchor stays under it.
    const QPointF scrolled = fixed * m_zoom - anchor;
    horizontalScrollBar()->setValue(int(std::lround(scrolled.x())));
    verticalScrollBar()->setValue(int(std::lround(scrolled.y())));
    updateOverview();
    viewport()->update();
}

void FlowMapView::updateScrollBars()
{
    const QSizeF size = m_layout.size() * m_zoom;
    const QSize view = viewport()->size();
    horizontalScrollBar()->setPageStep(view.width());
    verticalScrollBar()->setPageStep(view.height());
    horizontalScrollBar()->setRange(0, std::max(0, int(std::ceil(size.width())) - view.width()));
    verticalScrollBar()->setRange(0, std::max(0, int(std::ceil(size.height())) - view.height()));
}

void FlowMapView::updateOverview()
{
    const QSizeF size = m_layout.size() * m_zoom;
    const bool fits = size.width() <= viewport()->width() && size.height() <= viewport()->height();
    if (fits || m_stale) {
        m_overview->hide();
        return;
    }
    if (m_overviewStale) {
        m_overview->setPicture(FlowPainter::overview(m_layout, QSize(kOverviewSize, kOverviewSize)),
                               m_layout.size());
        m_overviewStale = false;
    }
    m_overview->move(viewport()->width() - m_overview->width() - kOverviewMargin,
                     viewport()->height() - m_overview->height() - kOverviewMargin);
    m_overview->setShownPart(
        QRectF(toMap(QPointF(0, 0)), toMap(QPointF(viewport()->rect().bottomRight()))));
    m_overview->show();
}

QPointF FlowMapView::origin() const
{
    const QSizeF size = m_layout.size() * m_zoom;
    const QSize view = viewport()->size();
    return QPointF(
        std::max(0.0, (view.width() - size.width()) / 2) - horizontalScrollBar()->value(),
        std::max(0.0, (view.height() - size.height()) / 2) - verticalScrollBar()->value());
}

QPointF FlowMapView::toMap(const QPointF &viewportPoint) const
{
    return (viewportPoint - origin()) / m_zoom;
}

QRectF FlowMapView::toViewport(const QRectF &mapRect) const
{
    return QRectF(mapRect.topLeft() * m_zoom + origin(), mapRect.size() * m_zoom);
}

void FlowMapView::paintEvent(QPaintEvent *event)
{
    if (m_stale)
        build();
    QPainter painter(viewport());
    painter.translate(origin());
    painter.scale(m_zoom, m_zoom);
    const QRectF visible(toMap(event->rect().topLeft()),
                         toMap(event->rect().bottomRight() + QPoint(1, 1)));
    FlowPainter::Marks marks;
    marks.selected = m_marked;
    marks.found = m_found.empty() ? nullptr : &m_found;
    marks.gotoHandle = m_gotoEditing;
    FlowPainter::paint(painter, m_graph, m_layout, visible, marks);
    if (m_dragFrom >= 0) {
        // The goto being dragged, from its handle to the pointer.
        painter.setPen(QPen(QColor(0x7b, 0x3f, 0xa0), 1.5 / m_zoom, Qt::DashLine));
        painter.drawLine(FlowPainter::gotoHandle(m_layout.boxes()[size_t(m_dragFrom)]).center(),
                         m_dragTo);
    }
}

void FlowMapView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
    updateOverview();
}

void FlowMapView::scrollContentsBy(int, int)
{
    updateOverview();
    viewport()->update();
}

void FlowMapView::wheelEvent(QWheelEvent *event)
{
    if (!(event->modifiers() & Qt::ControlModifier)) {
        QAbstractScrollArea::wheelEvent(event);
        return;
    }
    const double steps = event->angleDelta().y() / 120.0;
    if (steps != 0)
        zoomBy(std::pow(kZoomStep, steps), event->position());
    event->accept();
}

void FlowMapView::focusInEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusInEvent(event);
    // Commands given in the map act on the box marked there.
    if (m_marked >= 0 && event->reason() != Qt::PopupFocusReason && !m_stale) {
        const DialogNode *dialog = m_graph.boxes()[size_t(m_marked)].dialog;
        if (m_current && m_current() != dialog)
            emit dialogClicked(dialog);
    }
}

void FlowMapView::keyPressEvent(QKeyEvent *event)
{
    if (m_stale)
        build();
    const int box = m_marked;
    const bool plain = !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    switch (plain ? event->key() : 0) {
    case Qt::Key_Home:
        selectBox(0);
        return;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (box >= 0) {
            selectBox(boxAlongFlow(box, event->key()));
            return;
        }
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_F2:
        if (box >= 0) {
            const FlowGraph::Box &shown = m_graph.boxes()[size_t(box)];
            if (shown.foldedAnswer)
                unfold(shown.foldedAnswer);
            else
                editText(box);
            return;
        }
        break;
    case Qt::Key_Insert:
        if (box >= 0 && !m_graph.boxes()[size_t(box)].foldedAnswer) {
            emit insertRequested(m_graph.boxes()[size_t(box)].dialog);
            return;
        }
        break;
    case Qt::Key_Delete:
        if (box >= 0 && !m_graph.boxes()[size_t(box)].foldedAnswer) {
            emit deleteRequested(m_graph.boxes()[size_t(box)].dialog);
            return;
        }
        break;
    default:
        break;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

int FlowMapView::boxAlongFlow(int box, int key)
{
    const std::vector<FlowGraph::Box> &boxes = m_graph.boxes();
    const std::vector<FlowGraph::Branch> &branches = m_graph.branches();
    if (key == Qt::Key_Down) {
        // What follows: a text box's way on, a choice's first answer.
        const size_t first = m_graph.firstEdgeOf(box);
        for (size_t e = first; e < m_graph.edges().size() && m_graph.edges()[e].from == box; ++e) {
            if (m_graph.edges()[e].to >= 0)
                return m_graph.edges()[e].to;
        }
        return box;
    }
    if (key == Qt::Key_Up) {
        // Back: the box before it in its branch, or the choice it stands under.
        const FlowGraph::Branch &branch = branches[size_t(boxes[size_t(box)].branch)];
        for (int at = branch.first; at >= 0; at = boxes[size_t(at)].nextInBranch) {
            if (boxes[size_t(at)].nextInBranch == box)
                return at;
        }
        return branch.owner >= 0 ? branch.owner : box;
    }
    return siblingBranchBox(box, key == Qt::Key_Right);
}

int FlowMapView::siblingBranchBox(int box, bool right)
{
    const std::vector<FlowGraph::Box> &boxes = m_graph.boxes();
    const std::vector<FlowGraph::Branch> &branches = m_graph.branches();
    // From the branch the box stands in outwards: the nearest sibling branch with boxes, at
    // the same depth or its last box.
    for (int at = box; at >= 0; at = branches[size_t(boxes[size_t(at)].branch)].owner) {
        const int branch = boxes[size_t(at)].branch;
        const int owner = branches[size_t(branch)].owner;
        if (owner < 0)
            break;
        // The branches as the map sets them side by side.
        std::vector<int> siblings;
        for (int sibling = boxes[size_t(owner)].firstBranch; sibling >= 0;
             sibling = branches[size_t(sibling)].next) {
            if (branches[size_t(sibling)].first >= 0)
                siblings.push_back(sibling);
        }
        std::sort(siblings.begin(), siblings.end(), [this, &branches](int a, int b) {
            return m_layout.columnOf(branches[size_t(a)].first) <
                   m_layout.columnOf(branches[size_t(b)].first);
        });
        const auto here = std::find(siblings.begin(), siblings.end(), branch);
        if ((right && here + 1 == siblings.end()) || (!right && here == siblings.begin()))
            continue;
        const int other = right ? *(here + 1) : *(here - 1);
        int depth = 0;
        for (int walk = branches[size_t(branch)].first; walk >= 0 && walk != at;
             walk = boxes[size_t(walk)].nextInBranch)
            ++depth;
        int target = branches[size_t(other)].first;
        while (depth-- > 0 && boxes[size_t(target)].nextInBranch >= 0)
            target = boxes[size_t(target)].nextInBranch;
        return target;
    }
    // Outside sibling branches: the neighbour in the row.
    const std::vector<int> row = m_layout.boxesInRow(m_layout.rowOf(box));
    const auto here = std::find(row.begin(), row.end(), box);
    if (right && here + 1 != row.end())
        return *(here + 1);
    if (!right && here != row.begin())
        return *(here - 1);
    return box;
}

const DialogNode *FlowMapView::answerOf(int box, int answer)
{
    if (m_stale)
        build();
    if (box < 0)
        return nullptr;
    const FlowGraph::Box &shown = m_graph.boxes()[size_t(box)];
    if (shown.choice && answer >= 0) {
        int port = 0;
        for (int row = 0; row < shown.dialog->childCount(); ++row) {
            const DialogNode *choice = shown.dialog->child(row);
            if (NodeText::isChoice(choice->text()) && port++ == answer)
                return choice;
        }
        return nullptr;
    }
    if (shown.foldedAnswer)
        return shown.foldedAnswer;
    const FlowGraph::Branch &branch = m_graph.branches()[size_t(shown.branch)];
    if (branch.owner < 0 || !m_graph.boxes()[size_t(branch.owner)].choice)
        return nullptr;
    return branch.parent;
}

void FlowMapView::fold(const DialogNode *answer)
{
    if (!answer || std::find(m_folds.begin(), m_folds.end(), answer) != m_folds.end())
        return;
    m_folds.push_back(answer);
    refold();
    if (m_marked >= 0)
        ensureVisible(m_marked);
}

void FlowMapView::unfold(const DialogNode *answer)
{
    const auto found = std::find(m_folds.begin(), m_folds.end(), answer);
    if (found == m_folds.end())
        return;
    m_folds.erase(found);
    refold();
}

void FlowMapView::refold()
{
    m_stale = true;
    m_overviewStale = true;
    build();
    viewport()->update();
    emit foldsChanged();
}

int FlowMapView::find(const QString &text)
{
    m_findText = text;
    if (m_stale)
        build();
    else
        markFound();
    return int(std::count(m_found.begin(), m_found.end(), 1));
}

void FlowMapView::markFound()
{
    const std::vector<FlowGraph::Box> &boxes = m_graph.boxes();
    m_found.assign(m_findText.isEmpty() ? 0 : boxes.size(), 0);
    bool number = false;
    const int wanted = m_findText.trimmed().toInt(&number);
    for (size_t b = 0; b < m_found.size(); ++b) {
        const FlowGraph::Box &box = boxes[b];
        m_found[b] = number ? box.number == wanted || (box.foldedAnswer && box.number <= wanted &&
                                                       wanted <= box.lastNumber)
                            : FlowBoxText::heading(box).contains(m_findText, Qt::CaseInsensitive) ||
                                  FlowBoxText::tip(box).contains(m_findText, Qt::CaseInsensitive);
    }
    viewport()->update();
}

int FlowMapView::findNext(bool backwards)
{
    if (m_stale)
        build();
    const int count = int(m_found.size());
    for (int step = 1; step <= count; ++step) {
        const int at = ((m_marked < 0 ? (backwards ? 0 : -1) : m_marked) +
                        (backwards ? -step : step) + count) %
                       count;
        if (m_found[size_t(at)]) {
            selectBox(at);
            return int(std::count(m_found.begin(), m_found.begin() + at + 1, 1));
        }
    }
    return 0;
}

void FlowMapView::clearFound()
{
    m_findText.clear();
    m_found.clear();
    viewport()->update();
}

const DialogNode *FlowMapView::textHolder(int box, int answer)
{
    const FlowGraph::Box &shown = m_graph.boxes()[size_t(box)];
    if (shown.foldedAnswer)
        return nullptr;
    if (!shown.choice)
        return shown.dialog;
    return answerOf(box, std::max(answer, 0));
}

void FlowMapView::editText(int box, int answer)
{
    if (m_stale)
        build();
    if (box < 0 || box >= int(m_graph.boxes().size()))
        return;
    const DialogNode *holder = textHolder(box, answer);
    if (!holder)
        return;
    if (m_marked != box)
        selectBox(box);
    ensureVisible(box);
    const QString text = m_graph.boxes()[size_t(box)].choice ? DialogSummary::answer(holder)
                                                             : DialogSummary::text(holder);
    // Over the box, large enough to write in whatever the zoom.
    QRect area = toViewport(m_layout.boxes()[size_t(box)]).toRect();
    area.setWidth(std::max(area.width(), 260));
    area.setHeight(std::max(area.height(), 72));
    area.moveLeft(std::clamp(area.left(), 0, std::max(0, viewport()->width() - area.width())));
    area.moveTop(std::clamp(area.top(), 0, std::max(0, viewport()->height() - area.height())));
    m_editedHolder = holder;
    m_editor->open(text, area);
}

void FlowMapView::setGotoEditing(bool enabled)
{
    m_gotoEditing = enabled;
    viewport()->update();
}

int FlowMapView::answerAt(int box, const QPointF &mapPoint)
{
    const FlowGraph::Box &shown = m_graph.boxes()[size_t(box)];
    if (!shown.choice)
        return -1;
    const QRectF &rect = m_layout.boxes()[size_t(box)];
    const int line =
        int((mapPoint.y() - rect.top() - FlowLayout::kPadding) / FlowLayout::kLineHeight) - 1;
    return line >= 0 && line < shown.answers ? line : -1;
}

void FlowMapView::mousePressEvent(QMouseEvent *event)
{
    const QPointF at = toMap(event->position());
    if (event->button() == Qt::LeftButton && m_gotoEditing && m_marked >= 0 && !m_stale) {
        const FlowGraph::Box &shown = m_graph.boxes()[size_t(m_marked)];
        const QPointF handle = FlowPainter::gotoHandle(m_layout.boxes()[size_t(m_marked)]).center();
        if (!shown.choice && !shown.foldedAnswer &&
            QLineF(handle, at).length() * m_zoom <= kHandleReach) {
            m_dragFrom = m_marked;
            m_dragTo = at;
            viewport()->setCursor(Qt::CrossCursor);
            return;
        }
    }
    const int box = layout().boxAt(at);
    if (event->button() == Qt::RightButton) {
        if (box >= 0) {
            selectBox(box);
            emit menuRequested(box, answerAt(box, at), event->globalPosition().toPoint());
        }
        return;
    }
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    if (box >= 0) {
        m_marked = box;
        viewport()->update();
        emit dialogClicked(m_graph.boxes()[size_t(box)].dialog);
        return;
    }
    m_panning = true;
    m_panFrom = event->position().toPoint();
    viewport()->setCursor(Qt::ClosedHandCursor);
}

void FlowMapView::mouseMoveEvent(QMouseEvent *event)
{
    if (m_dragFrom >= 0) {
        m_dragTo = toMap(event->position());
        viewport()->update();
        return;
    }
    if (!m_panning)
        return;
    const QPoint now = event->position().toPoint();
    const QPoint moved = now - m_panFrom;
    m_panFrom = now;
    horizontalScrollBar()->setValue(horizontalScrollBar()->value() - moved.x());
    verticalScrollBar()->setValue(verticalScrollBar()->value() - moved.y());
}

void FlowMapView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (m_dragFrom >= 0) {
        const int from = m_dragFrom;
        m_dragFrom = -1;
        viewport()->unsetCursor();
        viewport()->update();
        const int target = layout().boxAt(toMap(event->position()));
        // Let go on its own box: no change.
        if (target != from && !m_stale)
            emit gotoDropped(m_graph.boxes()[size_t(from)].dialog,
                             target >= 0 ? m_graph.boxes()[size_t(target)].dialog : nullptr);
        return;
    }
    if (m_panning) {
        m_panning = false;
        viewport()->unsetCursor();
    }
}

void FlowMapView::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QPointF at = toMap(event->position());
    const int box = layout().boxAt(at);
    if (event->button() != Qt::LeftButton || box < 0)
        return;
    const FlowGraph::Box &shown = m_graph.boxes()[size_t(box)];
    if (shown.foldedAnswer)
        unfold(shown.foldedAnswer);
    else
        editText(box, answerAt(box, at));
}

bool FlowMapView::viewportEvent(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        const int box = layout().boxAt(toMap(help->pos()));
        if (box < 0) {
            QToolTip::hideText();
            event->ignore();
            return true;
        }
        QToolTip::showText(help->globalPos(), FlowBoxText::tip(m_graph.boxes()[size_t(box)]),
                           viewport());
        return true;
    }
    return QAbstractScrollArea::viewportEvent(event);
}
