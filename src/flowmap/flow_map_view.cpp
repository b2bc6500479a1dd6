#include "flow_map_view.h"

#include "document/dialog_summary.h"
#include "flow_painter.h"

#include "document/dialog_node.h"

#include <QHelpEvent>
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

} // namespace

FlowMapView::FlowMapView(const DialogTree &tree, std::function<const DialogNode *()> current,
                         QWidget *parent)
    : QAbstractScrollArea(parent), m_tree(tree), m_current(std::move(current))
{
    setObjectName(QStringLiteral("FlowMapView"));
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    viewport()->setMouseTracking(false);
    setFocusPolicy(Qt::StrongFocus);
    horizontalScrollBar()->setSingleStep(24);
    verticalScrollBar()->setSingleStep(24);
}

void FlowMapView::invalidate()
{
    if (m_stale)
        return;
    m_stale = true;
    // Drop the pointers into the document at once: the nodes may be gone.
    m_graph = FlowGraph();
    m_marked = -1;
    viewport()->update();
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
    m_graph = FlowGraph::build(m_tree);
    m_layout = FlowLayout::lay(m_graph);
    m_stale = false;
    m_marked = m_current ? m_graph.boxOf(m_current()) : -1;
    updateScrollBars();
}

void FlowMapView::showNode(const DialogNode *node)
{
    if (m_stale)
        build();
    m_marked = m_graph.boxOf(node);
    if (m_marked >= 0) {
        const QRectF box = m_layout.boxes()[size_t(m_marked)];
        const QRectF drawn(box.topLeft() * m_zoom + origin(), box.size() * m_zoom);
        // A box already in full view stays where it is: the author may have just clicked it.
        if (!QRectF(viewport()->rect()).contains(drawn)) {
            const QPointF centre = box.center() * m_zoom;
            horizontalScrollBar()->setValue(int(centre.x() - viewport()->width() / 2.0));
            verticalScrollBar()->setValue(int(centre.y() - viewport()->height() / 2.0));
        }
    }
    viewport()->update();
}

QPoint FlowMapView::viewportPointOf(int box)
{
    if (m_stale)
        build();
    const QPointF centre = m_layout.boxes()[size_t(box)].center() * m_zoom + origin();
    return centre.toPoint();
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
    setZoom(std::min(1.0, fit), QRectF(viewport()->rect()).center());
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
    FlowPainter::paint(painter, m_graph, m_layout, visible, marks);
}

void FlowMapView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void FlowMapView::scrollContentsBy(int, int)
{
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

void FlowMapView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    const int box = layout().boxAt(toMap(event->position()));
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
    if (m_panning && event->button() == Qt::LeftButton) {
        m_panning = false;
        viewport()->unsetCursor();
    }
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
        const FlowGraph::Box &shown = m_graph.boxes()[size_t(box)];
        QToolTip::showText(help->globalPos(),
                           shown.choice ? DialogSummary::glance(shown.dialog, 4000)
                                        : DialogSummary::text(shown.dialog),
                           viewport());
        return true;
    }
    return QAbstractScrollArea::viewportEvent(event);
}
