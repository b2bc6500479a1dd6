#pragma once

#include "flow_graph.h"
#include "flow_layout.h"

#include "document/dialog_node.h"

#include <QAbstractScrollArea>
#include <functional>

class DialogTree;

// Draws the flow map of the document, only the part in view, and lets the author zoom (Ctrl and
// the wheel), pan (dragging the background, the scroll bars, the arrow keys) and click a box.
// The map is built again from the document the first time it is needed after a change, so a
// burst of changes (an edit, its undo) costs one build.
class FlowMapView : public QAbstractScrollArea
{
    Q_OBJECT
public:
    // current names the node selected in the tree, whose dialog's box is drawn marked.
    FlowMapView(const DialogTree &tree, std::function<const DialogNode *()> current,
                QWidget *parent = nullptr);

    // The document changed: nothing of the old map is used any more.
    void invalidate();
    // Marks the box of the dialog that holds node and brings it to the middle of the view.
    void showNode(const DialogNode *node);

    double zoom() const { return m_zoom; }
    // Zooms by factor, keeping the map point under anchor (viewport coordinates) in place.
    void zoomBy(double factor, const QPointF &anchor);
    void zoomIn();
    void zoomOut();
    // The whole map in view, at most at full size.
    void zoomToFit();

    const FlowGraph &graph();
    const FlowLayout &layout();
    int markedBox();
    // The viewport point where a box's centre is drawn.
    QPoint viewportPointOf(int box);

signals:
    void dialogClicked(const DialogNode *dialog);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void wheelEvent(QWheelEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    bool viewportEvent(QEvent *event) override;

private:
    void build();
    void updateScrollBars();
    void setZoom(double zoom, const QPointF &anchor);
    // Where the map's origin is drawn in the viewport: a map narrower than the view is centred.
    QPointF origin() const;
    QPointF toMap(const QPointF &viewportPoint) const;

    const DialogTree &m_tree;
    std::function<const DialogNode *()> m_current;
    bool m_stale = true;
    FlowGraph m_graph;
    FlowLayout m_layout;
    int m_marked = -1;
    double m_zoom = 1.0;
    bool m_panning = false;
    QPoint m_panFrom;
};
