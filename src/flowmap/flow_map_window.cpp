#include "flow_map_window.h"

#include "flow_export.h"
#include "flow_map_view.h"
#include "flow_painter.h"

#include "platform/app_error.h"
#include "platform/file_writing.h"
#include "platform/named.h"
#include "platform/output_target.h"
#include "platform/prompter.h"
#include "windows/close_controls.h"
#include "windows/tree_changes.h"

#include <QAction>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolBar>
#include <QVBoxLayout>

FlowMapWindow::FlowMapWindow(const DialogTree &tree, QAbstractItemModel *changes, Current current,
                             DocumentFile documentFile, Prompter &prompter, QWidget *parent)
    : QWidget(parent, Qt::Window), m_documentFile(std::move(documentFile)), m_prompter(prompter)
{
    setObjectName(QStringLiteral("FlowMapWindow"));
    setWindowTitle(QStringLiteral("Flow map"));
    resize(720, 640);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto *tools = named(new QToolBar(this), "FlowMapToolBar");
    layout->addWidget(tools);
    m_view = new FlowMapView(tree, std::move(current), this);
    layout->addWidget(m_view, 1);
    auto *row = new QHBoxLayout;
    row->setContentsMargins(6, 3, 6, 3);
    m_summary = named(new QLabel(this), "FlowMapSummary");
    row->addWidget(m_summary, 1);
    addCloseControls(this, row);
    layout->addLayout(row);

    auto makeAction = [this, tools](const QString &text, const QKeySequence &key,
                                    const char *name) {
        auto *action = named(new QAction(text, this), name);
        action->setShortcut(key);
        // A tool button would drop the ellipsis of the text.
        action->setIconText(text);
        action->setShortcutContext(Qt::WindowShortcut);
        tools->addAction(action);
        addAction(action);
        return action;
    };
    zoomInAction = makeAction(QStringLiteral("Zoom in"), QKeySequence::ZoomIn, "FlowMapZoomIn");
    zoomOutAction = makeAction(QStringLiteral("Zoom out"), QKeySequence::ZoomOut, "FlowMapZoomOut");
    fitAction = makeAction(QStringLiteral("Fit"), QKeySequence(Qt::CTRL | Qt::Key_0), "FlowMapFit");
    tools->addSeparator();
    exportAction = makeAction(QStringLiteral("Export..."), QKeySequence(), "FlowMapExport");
    // Ctrl+= is where plus lies unshifted on many keyboards.
    zoomInAction->setShortcuts({QKeySequence::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Equal)});

    connect(zoomInAction, &QAction::triggered, m_view, &FlowMapView::zoomIn);
    connect(zoomOutAction, &QAction::triggered, m_view, &FlowMapView::zoomOut);
    connect(fitAction, &QAction::triggered, m_view, &FlowMapView::zoomToFit);
    connect(exportAction, &QAction::triggered, this, &FlowMapWindow::exportPicture);
    connect(m_view, &FlowMapView::dialogClicked, this, &FlowMapWindow::dialogClicked);
    connectTreeChanges(changes, this, [this] {
        m_view->invalidate();
        if (isVisible())
            updateSummary();
    });
}

void FlowMapWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    updateSummary();
    if (!m_shownBefore) {
        m_shownBefore = true;
        // A small map is seen whole; a large one opens at full size at its start.
        const QSizeF size = m_view->layout().size();
        if (size.width() > m_view->viewport()->width() ||
            size.height() > m_view->viewport()->height()) {
            const double fit = std::min(m_view->viewport()->width() / size.width(),
                                        m_view->viewport()->height() / size.height());
            if (fit >= 0.5)
                m_view->zoomToFit();
        }
    }
}

void FlowMapWindow::updateSummary()
{
    // Counting waits for the next time the map is drawn, which builds it anyway.
    QMetaObject::invokeMethod(
        this,
        [this] {
            const FlowGraph &graph = m_view->graph();
            int broken = 0;
            for (const FlowGraph::Edge &edge : graph.edges())
                broken += edge.kind == FlowGraph::EdgeKind::Broken;
            QString text = QStringLiteral("%1 dialog(s), %2 arrow(s)")
                               .arg(graph.boxes().size())
                               .arg(graph.edges().size() - size_t(broken));
            if (broken)
                text += QStringLiteral(", %1 broken reference(s)").arg(broken);
            m_summary->setText(text);
        },
        Qt::QueuedConnection);
}

void FlowMapWindow::exportPicture()
{
    FileDialogRequest request{FileDialogRequest::Save, QStringLiteral("FlowMapExportDialog"),
                              QStringLiteral("Pictures"), QStringLiteral("*.svg *.png"), QString()};
    if (m_documentFile)
        request.proposedFile =
            FileDialogRequest::besideDocument(m_documentFile(), QStringLiteral(".svg"));
    const std::optional<QString> chosen = m_prompter.chooseFile(request);
    if (!chosen)
        return;
    QString fileName = *chosen;
    if (QFileInfo(fileName).suffix().isEmpty())
        fileName += QStringLiteral(".svg");
    try {
        writePicture(fileName);
    } catch (const AppError &error) {
        m_prompter.error(error.text());
    }
}

void FlowMapWindow::writePicture(const QString &fileName)
{
    const QStringList inputs = {m_documentFile()};
    OutputTarget::check(fileName, inputs);
    const FlowGraph &graph = m_view->graph();
    const FlowLayout &layout = m_view->layout();
    const QByteArray bytes = QFileInfo(fileName).suffix().compare(u"png", Qt::CaseInsensitive) == 0
                                 ? FlowPainter::png(graph, layout)
                                 : FlowExport::svg(graph, layout);
    FileWriting::replace(fileName, bytes, inputs);
}
