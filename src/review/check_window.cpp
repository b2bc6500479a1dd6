#include "check_window.h"

#include "platform/ansi.h"
#include "platform/named.h"
#include "windows/tree_changes.h"

#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// Edits come in bursts (a dialog is several nodes); one check after the burst is enough.
constexpr int kSettleMs = 150;

} // namespace

CheckWindow::CheckWindow(const DialogTree &tree, QAbstractItemModel *changes, Select select,
                         QWidget *parent)
    : QWidget(parent, Qt::Window), m_tree(tree), m_select(std::move(select))
{
    setObjectName(QStringLiteral("CheckWindow"));
    setWindowTitle(QStringLiteral("Check dialog"));
    resize(640, 320);
    auto *layout = new QVBoxLayout(this);
    m_list = named(new QTreeWidget(this), "FindingList");
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setHeaderLabels(
        {QStringLiteral("Dialog"), QStringLiteral("Node"), QStringLiteral("Finding")});
    m_list->header()->setSectionResizeMode(QHeaderView::Interactive);
    m_list->setColumnWidth(0, 80);
    m_list->setColumnWidth(1, 220);
    layout->addWidget(m_list, 1);
    m_summary = named(new QLabel(this), "FindingSummary");
    layout->addWidget(m_summary);

    m_pending.setSingleShot(true);
    m_pending.setInterval(kSettleMs);
    connect(&m_pending, &QTimer::timeout, this, &CheckWindow::refresh);
    connect(m_list, &QTreeWidget::itemActivated, this, &CheckWindow::activate);
    connectTreeChanges(changes, this, [this] { treeChanged(); });
}

void CheckWindow::refresh()
{
    m_pending.stop();
    m_findings = DialogCheck::check(m_tree);
    m_list->clear();
    QList<QTreeWidgetItem *> items;
    items.reserve(qsizetype(m_findings.size()));
    for (size_t i = 0; i < m_findings.size(); ++i) {
        const CheckFinding &finding = m_findings[i];
        auto *item = new QTreeWidgetItem(
            {Ansi::toUnicode(finding.dialog), Ansi::toUnicode(finding.nodeText), finding.message});
        item->setData(0, Qt::UserRole, qulonglong(i));
        item->setToolTip(2, finding.line());
        items.append(item);
    }
    m_list->addTopLevelItems(items);
    m_summary->setText(m_findings.empty()
                           ? QStringLiteral("Nothing to report.")
                           : QStringLiteral("%1 finding(s).").arg(m_findings.size()));
}

void CheckWindow::showEvent(QShowEvent *event)
{
    refresh();
    QWidget::showEvent(event);
}

void CheckWindow::treeChanged()
{
    if (isVisible())
        m_pending.start();
}

void CheckWindow::activate(QTreeWidgetItem *item)
{
    // A finding from before the last edit may name a node that is gone: check again first, and
    // let the author pick from the fresh list.
    if (m_pending.isActive()) {
        refresh();
        return;
    }
    const size_t index = item->data(0, Qt::UserRole).toULongLong();
    if (index < m_findings.size() && m_findings[index].node)
        m_select(m_findings[index].node);
}
