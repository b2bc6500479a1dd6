#include "check_window.h"

#include "document/dialog_node.h"
#include "review/readings_replayer.h"
#include "spelling/spell_dictionary.h"
#include "spelling/spelling_check.h"

#include "platform/ansi.h"
#include "platform/named.h"
#include "windows/close_controls.h"
#include "windows/tree_changes.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QThread>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// Edits come in bursts (a dialog is several nodes); one check after the burst is enough.
constexpr int kSettleMs = 150;
// Spelling findings are told from the others by this flag beside their index.
constexpr int kSpellingRole = Qt::UserRole + 1;
// And the saved readings that differ by this one.
constexpr int kReadingRole = Qt::UserRole + 2;

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
    auto *row = new QHBoxLayout;
    m_summary = named(new QLabel(this), "FindingSummary");
    row->addWidget(m_summary, 1);
    addCloseControls(this, row);
    layout->addLayout(row);

    m_pending.setSingleShot(true);
    m_pending.setInterval(kSettleMs);
    connect(&m_pending, &QTimer::timeout, this, &CheckWindow::refresh);
    connect(m_list, &QTreeWidget::itemActivated, this, &CheckWindow::activate);
    connectTreeChanges(changes, this, [this] { treeChanged(); });
}

CheckWindow::~CheckWindow()
{
    // A check still running reads a dictionary this window no longer answers for.
    for (QThread *worker : std::as_const(m_workers))
        worker->wait();
}

void CheckWindow::setReadings(ReadingsReplayer *readings)
{
    m_readings = readings;
    connect(m_readings, &ReadingsReplayer::replayed, this, &CheckWindow::showReadings);
}

void CheckWindow::showReadings()
{
    delete m_readingsGroup;
    m_readingsGroup = nullptr;
    m_readingFindings.clear();
    if (!m_readings)
        return;
    for (const SavedReading &reading : m_readings->readings().all()) {
        const ReadingsReplayer::Outcome *outcome = m_readings->outcome(reading.name);
        if (!outcome || outcome->agrees)
            continue;
        const DialogNode *node = outcome->differsAt;
        m_readingFindings.push_back(
            {node, node ? node->text() : QByteArray("Readings"),
             "Reading \"" + Ansi::fromUnicode(reading.name) + '"',
             QStringLiteral("differs from its saved transcript: %1; replay it in the "
                            "read-through, and Accept the change there if it is meant")
                 .arg(outcome->diff->firstDifferenceText())});
    }
    if (m_readingFindings.empty())
        return;
    m_readingsGroup = new QTreeWidgetItem(
        {QStringLiteral("Readings"), QString(),
         QStringLiteral("%1 saved reading(s) differ").arg(m_readingFindings.size())});
    m_list->setRootIsDecorated(true);
    m_list->addTopLevelItem(m_readingsGroup);
    for (size_t i = 0; i < m_readingFindings.size(); ++i) {
        QTreeWidgetItem *item = findingItem(m_readingFindings[i], i);
        item->setData(0, kReadingRole, true);
        m_readingsGroup->addChild(item);
    }
    m_readingsGroup->setExpanded(true);
}

void CheckWindow::setSpelling(SpellingSource source)
{
    m_spellingSource = std::move(source);
    if (isVisible())
        refresh();
}

QTreeWidgetItem *CheckWindow::findingItem(const CheckFinding &finding, qulonglong index) const
{
    auto *item = new QTreeWidgetItem(
        {Ansi::toUnicode(finding.dialog), Ansi::toUnicode(finding.nodeText), finding.message});
    item->setData(0, Qt::UserRole, index);
    item->setToolTip(2, finding.line());
    return item;
}

void CheckWindow::refresh()
{
    m_pending.stop();
    m_findings = DialogCheck::check(m_tree);
    m_spelling.clear();
    m_spellingGroup = nullptr;
    m_readingsGroup = nullptr;
    m_list->clear();
    m_list->setRootIsDecorated(false);
    QList<QTreeWidgetItem *> items;
    items.reserve(qsizetype(m_findings.size()));
    for (size_t i = 0; i < m_findings.size(); ++i)
        items.append(findingItem(m_findings[i], i));
    m_list->addTopLevelItems(items);
    m_summary->setText(m_findings.empty()
                           ? QStringLiteral("Nothing to report.")
                           : QStringLiteral("%1 finding(s).").arg(m_findings.size()));
    showReadings();
    startSpelling();
}

void CheckWindow::startSpelling()
{
    ++m_generation;
    const std::shared_ptr<SpellDictionary> dictionary =
        m_spellingSource ? m_spellingSource() : nullptr;
    if (!dictionary)
        return;
    m_summary->setText(m_summary->text() + QStringLiteral(" Checking spelling..."));
    // The texts are taken here; the words are looked up beside the editor, which never waits.
    auto result = std::make_shared<std::vector<CheckFinding>>();
    QThread *worker =
        QThread::create([texts = SpellingCheck::snapshot(m_tree), dictionary, result] {
            *result = SpellingCheck::check(
                texts, [&](const QString &word) { return dictionary->isCorrect(word); },
                dictionary->language());
        });
    m_workers.append(worker);
    const quint64 generation = m_generation;
    connect(worker, &QThread::finished, this, [this, worker, generation, result, dictionary] {
        m_workers.removeOne(worker);
        worker->deleteLater();
        if (generation == m_generation)
            showSpelling(*result, dictionary->language());
    });
    worker->start(QThread::LowPriority);
}

void CheckWindow::showSpelling(const std::vector<CheckFinding> &findings, const QString &language)
{
    m_spelling = findings;
    QString summary =
        m_findings.empty() ? QString() : QStringLiteral("%1 finding(s). ").arg(m_findings.size());
    summary +=
        findings.empty()
            ? QStringLiteral("No misspelled words (%1).").arg(language)
            : QStringLiteral("%1 misspelled word(s) (%2).").arg(findings.size()).arg(language);
    if (m_findings.empty() && findings.empty())
        summary = QStringLiteral("Nothing to report.");
    m_summary->setText(summary);
    if (findings.empty())
        return;
    // A group of its own, after the other findings.
    m_spellingGroup = new QTreeWidgetItem(
        {QStringLiteral("Spelling (%1)").arg(language), QString(),
         QStringLiteral("%1 word(s) not in the dictionary").arg(findings.size())});
    m_list->setRootIsDecorated(true);
    m_list->addTopLevelItem(m_spellingGroup);
    QList<QTreeWidgetItem *> items;
    items.reserve(qsizetype(findings.size()));
    for (size_t i = 0; i < findings.size(); ++i) {
        QTreeWidgetItem *item = findingItem(findings[i], i);
        item->setData(0, kSpellingRole, true);
        items.append(item);
    }
    m_spellingGroup->addChildren(items);
    m_spellingGroup->setExpanded(true);
}

void CheckWindow::showEvent(QShowEvent *event)
{
    refresh();
    if (m_readings) {
        m_readings->setWatching(this, true);
        m_readings->replayAll();
    }
    QWidget::showEvent(event);
}

void CheckWindow::hideEvent(QHideEvent *event)
{
    if (m_readings)
        m_readings->setWatching(this, false);
    QWidget::hideEvent(event);
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
    if (item == m_spellingGroup || item == m_readingsGroup)
        return;
    const std::vector<CheckFinding> &findings = item->data(0, kSpellingRole).toBool() ? m_spelling
                                                : item->data(0, kReadingRole).toBool()
                                                    ? m_readingFindings
                                                    : m_findings;
    const size_t index = item->data(0, Qt::UserRole).toULongLong();
    if (index < findings.size() && findings[index].node)
        m_select(findings[index].node);
}
