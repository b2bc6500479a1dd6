#include "flow_map_window.h"

#include "flow_export.h"
#include "flow_map_view.h"
#include "flow_painter.h"

#include "document/dialog_summary.h"
#include "document/node_text.h"
#include "platform/app_error.h"
#include "platform/file_writing.h"
#include "platform/named.h"
#include "platform/output_target.h"
#include "platform/prompter.h"
#include "windows/close_controls.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>
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

    // The find bar, shown by Ctrl+F: Enter goes to the next box found, Shift+Enter back.
    m_findBar = named(new QWidget(this), "FlowMapFindBar");
    auto *findRow = new QHBoxLayout(m_findBar);
    findRow->setContentsMargins(6, 3, 6, 3);
    findRow->addWidget(new QLabel(QStringLiteral("Find:"), m_findBar));
    m_findField = named(new QLineEdit(m_findBar), "FlowMapFindField");
    m_findField->setPlaceholderText(QStringLiteral("Text or dialog number"));
    findRow->addWidget(m_findField, 1);
    m_foundCount = named(new QLabel(m_findBar), "FlowMapFoundCount");
    findRow->addWidget(m_foundCount);
    auto *closeFind = named(new QToolButton(m_findBar), "FlowMapFindClose");
    closeFind->setText(QStringLiteral("Close"));
    findRow->addWidget(closeFind);
    m_findBar->hide();
    layout->addWidget(m_findBar);

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
    findAction = makeAction(QStringLiteral("Find"), QKeySequence::Find, "FlowMapFind");
    tools->addSeparator();
    exportAction = makeAction(QStringLiteral("Export..."), QKeySequence(), "FlowMapExport");
    // Ctrl+= is where plus lies unshifted on many keyboards.
    zoomInAction->setShortcuts({QKeySequence::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Equal)});

    connect(zoomInAction, &QAction::triggered, m_view, &FlowMapView::zoomIn);
    connect(zoomOutAction, &QAction::triggered, m_view, &FlowMapView::zoomOut);
    connect(fitAction, &QAction::triggered, m_view, &FlowMapView::zoomToFit);
    connect(findAction, &QAction::triggered, this, &FlowMapWindow::showFindBar);
    connect(exportAction, &QAction::triggered, this, &FlowMapWindow::exportPicture);
    connect(m_findField, &QLineEdit::textChanged, this, [this](const QString &text) {
        m_view->find(text);
        updateFound(text.isEmpty() ? 0 : m_view->findNext());
    });
    connect(m_findField, &QLineEdit::returnPressed, this, [this] {
        const bool back = QGuiApplication::keyboardModifiers() & Qt::ShiftModifier;
        updateFound(m_view->findNext(back));
    });
    auto *hideFind = named(new QAction(m_findBar), "FlowMapFindHide");
    hideFind->setShortcut(QKeySequence(Qt::Key_Escape));
    hideFind->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    m_findBar->addAction(hideFind);
    connect(hideFind, &QAction::triggered, this, &FlowMapWindow::hideFindBar);
    connect(closeFind, &QToolButton::clicked, this, &FlowMapWindow::hideFindBar);

    connect(m_view, &FlowMapView::dialogClicked, this, &FlowMapWindow::dialogClicked);
    connect(m_view, &FlowMapView::textCommitted, this, &FlowMapWindow::textCommitted);
    connect(m_view, &FlowMapView::gotoDropped, this, &FlowMapWindow::gotoDropped);
    connect(m_view, &FlowMapView::deleteRequested, this, &FlowMapWindow::deleteRequested);
    connect(m_view, &FlowMapView::foldsChanged, this, &FlowMapWindow::updateSummary);
    connect(m_view, &FlowMapView::insertRequested, this,
            [this](const DialogNode *dialog) { emit addAfterRequested(dialog, false); });
    connect(m_view, &FlowMapView::menuRequested, this,
            [this](int box, int answer, const QPoint &at) {
                QMenu *menu = boxMenu(box, answer);
                menu->exec(at);
                delete menu;
            });
    // Every change the tree model reports; one of texts alone may leave the map standing.
    const auto rebuilt = [this] { documentChanged(false); };
    connect(changes, &QAbstractItemModel::rowsInserted, this, rebuilt);
    connect(changes, &QAbstractItemModel::rowsRemoved, this, rebuilt);
    connect(changes, &QAbstractItemModel::rowsMoved, this, rebuilt);
    connect(changes, &QAbstractItemModel::layoutChanged, this, rebuilt);
    connect(changes, &QAbstractItemModel::modelReset, this, rebuilt);
    connect(changes, &QAbstractItemModel::dataChanged, this, [this] { documentChanged(true); });
    // Folds and finds belong to the document they were made in.
    connect(changes, &QAbstractItemModel::modelReset, m_view, &FlowMapView::forget);
}

void FlowMapWindow::documentChanged(bool texts)
{
    if (texts)
        m_view->textChanged();
    else
        m_view->invalidate();
    if (isVisible())
        updateSummary();
}

void FlowMapWindow::addMenuActions(const QList<QAction *> &actions)
{
    m_menuActions.append(actions);
    addActions(actions);
}

QMenu *FlowMapWindow::boxMenu(int box, int answer)
{
    auto *menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("FlowMapBoxMenu"));
    const FlowGraph::Box &shown = m_view->graph().boxes()[size_t(box)];
    const DialogNode *dialog = shown.dialog;
    if (shown.foldedAnswer) {
        const DialogNode *folded = shown.foldedAnswer;
        connect(menu->addAction(QStringLiteral("Unfold\tEnter")), &QAction::triggered, this,
                [this, folded] { m_view->unfold(folded); });
    } else {
        const QString edit =
            shown.choice ? QStringLiteral("Edit answer %1\tEnter").arg(std::max(answer, 0) + 1)
                         : QStringLiteral("Edit text\tEnter");
        connect(menu->addAction(edit), &QAction::triggered, this,
                [this, box, answer] { m_view->editText(box, answer); });
        menu->addSeparator();
        connect(menu->addAction(QStringLiteral("Add dialog after\tIns")), &QAction::triggered, this,
                [this, dialog] { emit addAfterRequested(dialog, false); });
        connect(menu->addAction(QStringLiteral("Add choice after")), &QAction::triggered, this,
                [this, dialog] { emit addAfterRequested(dialog, true); });
        if (shown.choice) {
            connect(menu->addAction(QStringLiteral("Add answer")), &QAction::triggered, this,
                    [this, dialog] { emit addAnswerRequested(dialog); });
        } else {
            QMenu *speakers = menu->addMenu(QStringLiteral("Set speaker"));
            const QString speaker = DialogSummary::speaker(dialog);
            for (const bool player : {true, false}) {
                QAction *choose = speakers->addAction(player ? QStringLiteral("Player")
                                                             : QStringLiteral("Entity"));
                choose->setCheckable(true);
                choose->setChecked(speaker == choose->text());
                connect(choose, &QAction::triggered, this,
                        [this, dialog, player] { emit speakerRequested(dialog, player); });
            }
        }
        if (const DialogNode *folding = m_view->answerOf(box, answer)) {
            menu->addSeparator();
            connect(menu->addAction(
                        QStringLiteral("Fold \"%1\"")
                            .arg(DialogSummary::elide(DialogSummary::answerLine(folding), 32))),
                    &QAction::triggered, this, [this, folding] { m_view->fold(folding); });
        }
    }
    for (const QList<QAction *> &group : m_menuActions) {
        menu->addSeparator();
        menu->addActions(group);
    }
    return menu;
}

void FlowMapWindow::setGotoEditing(bool enabled)
{
    m_view->setGotoEditing(enabled);
}

void FlowMapWindow::showFindBar()
{
    m_findBar->show();
    m_findField->setFocus();
    m_findField->selectAll();
}

void FlowMapWindow::hideFindBar()
{
    m_findBar->hide();
    m_view->clearFound();
    m_view->setFocus();
}

void FlowMapWindow::updateFound(int place)
{
    const int count = m_findField->text().isEmpty() ? -1 : m_view->find(m_findField->text());
    m_foundCount->setText(count < 0    ? QString()
                          : count == 0 ? QStringLiteral("not found")
                                       : QStringLiteral("%1 of %2").arg(place).arg(count));
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
    // Counting waits for the next time the map is drawn, which builds it anyway; a burst of
    // changes (a renumbering reports every dialog) counts once.
    if (m_summaryQueued)
        return;
    m_summaryQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_summaryQueued = false;
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
