#pragma once

#include "flow_graph.h"
#include "flow_layout.h"

#include "document/dialog_node.h"

#include <QAbstractScrollArea>
#include <functional>

class DialogTree;
class FlowOverview;
class FlowTextEditor;

// Draws the flow map of the document, only the part in view, and lets the author read and
// write in it: zoom (Ctrl and the wheel), pan (dragging the background, the scroll bars, the
// overview in the corner), select a box (a click, Home, and the arrow keys along the flow),
// edit a box's text in place (Enter, F2, a double click), fold an answer's branch into one box,
// find boxes by text or number, and drag a box's goto onto another box. What it changes it asks
// for through its signals; the map is built again from the document the first time it is
// needed after a change, so a burst of changes (an edit, its undo) costs one build.
class FlowMapView : public QAbstractScrollArea
{
    Q_OBJECT
public:
    // current names the node selected in the tree, whose dialog's box is drawn marked.
    FlowMapView(const DialogTree &tree, std::function<const DialogNode *()> current,
                QWidget *parent = nullptr);

    // The document changed: nothing of the old map is used any more.
    void invalidate();
    // While on, a change of node texts changes only words the boxes show (a dialog's text, an
    // answer, a speaker): the map stands as it is and is drawn again. The commands that make
    // such changes turn it on around them.
    void setWordsOnly(bool on) { m_wordsOnly = on; }
    // A node's text changed.
    void textChanged();
    // Another document: folds and found boxes go too.
    void forget();
    // Marks the box of the dialog that holds node and brings it into view.
    void showNode(const DialogNode *node);
    // Marks box, brings it into view and tells the tree.
    void selectBox(int box);

    double zoom() const { return m_zoom; }
    // Zooms by factor, keeping the map point under anchor (viewport coordinates) in place.
    void zoomBy(double factor, const QPointF &anchor);
    void zoomIn();
    void zoomOut();
    // The whole map in view, at most at full size and never so small that the boxes lose
    // their numbers; the overview shows the rest.
    void zoomToFit();
    // Centres the view on a map point.
    void centreOn(const QPointF &mapPoint);

    const FlowGraph &graph();
    const FlowLayout &layout();
    int markedBox();
    // The viewport point where a box's centre is drawn.
    QPoint viewportPointOf(int box);

    // The answer branch the box stands in (the choice node of the answer), or a choice box's
    // answer number answer; none outside answers.
    const DialogNode *answerOf(int box, int answer = -1);
    void fold(const DialogNode *answer);
    void unfold(const DialogNode *answer);

    // Marks the boxes whose text or number holds text and selects the first from the marked
    // box on; returns how many there are.
    int find(const QString &text);
    // Selects the next (or the previous) box found; its place among them, from 1, or 0.
    int findNext(bool backwards = false);
    void clearFound();

    // Opens the in-place editor on a box's text, or on answer of a choice box (-1: the first).
    void editText(int box, int answer = -1);
    FlowTextEditor *textEditor() const { return m_editor; }
    // While on, the selected text box shows a handle that drags its goto to another box.
    void setGotoEditing(bool enabled);

signals:
    void dialogClicked(const DialogNode *dialog);
    // The in-place editor's text for holder: a text dialog, or an answer's choice node.
    void textCommitted(const DialogNode *holder, const QString &text);
    // A goto handle dropped on a box (target) or on empty space (no target).
    void gotoDropped(const DialogNode *dialog, const DialogNode *target);
    // A right click on a box (answer: the answer line clicked on a choice box, or -1).
    void menuRequested(int box, int answer, const QPoint &globalPos);
    void insertRequested(const DialogNode *dialog);
    // A branch folded or unfolded: the map shows other boxes.
    void foldsChanged();
    void deleteRequested(const DialogNode *dialog);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    bool viewportEvent(QEvent *event) override;

private:
    void build();
    // The folds changed: the map is built again.
    void refold();
    void updateScrollBars();
    void updateOverview();
    void setZoom(double zoom, const QPointF &anchor);
    // Where the map's origin is drawn in the viewport: a map narrower than the view is centred.
    QPointF origin() const;
    QPointF toMap(const QPointF &viewportPoint) const;
    QRectF toViewport(const QRectF &mapRect) const;
    void ensureVisible(int box);
    void markFound();
    // The answer line of a choice box under a map point; -1 elsewhere.
    int answerAt(int box, const QPointF &mapPoint);
    // The box the arrow key moves to from box; box itself where there is none.
    int boxAlongFlow(int box, int key);
    int siblingBranchBox(int box, bool right);
    const DialogNode *textHolder(int box, int answer);

    const DialogTree &m_tree;
    std::function<const DialogNode *()> m_current;
    bool m_stale = true;
    bool m_wordsOnly = false;
    FlowGraph m_graph;
    FlowLayout m_layout;
    int m_marked = -1;
    double m_zoom = 1.0;
    bool m_panning = false;
    QPoint m_panFrom;
    std::vector<const DialogNode *> m_folds;
    QString m_findText;
    std::vector<char> m_found;
    FlowOverview *m_overview;
    bool m_overviewStale = true;
    FlowTextEditor *m_editor;
    const DialogNode *m_editedHolder = nullptr;
    bool m_gotoEditing = false;
    int m_dragFrom = -1; // the box whose goto is dragged
    QPointF m_dragTo;    // map coordinates
};
