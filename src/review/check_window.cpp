#include "check_window.h"

#include "document/dialog_node.h"
#include "finding_list_model.h"
#include "review/readings_replayer.h"
#include "spelling/spell_dictionary.h"
#include "spelling/spelling_check.h"
#include "spelling/spelling_menu.h"

#include "platform/ansi.h"
#include "platform/named.h"
#include "windows/close_controls.h"
#include "windows/tree_changes.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QThread>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

// The node column takes at most this share of the list's width; the finding gets the rest.
constexpr int kNodeColumnShare = 3;
// Rows measured when a column is fitted: the visible ones and some around them.
constexpr int kFittedRows = 200;

} // namespace

CheckWindow::CheckWindow(const DialogTree &tree, QAbstractItemModel *changes, Select select,
                         QWidget *parent)
    : QWidget(parent, Qt::Window), m_tree(tree), m_select(std::move(select)),
      m_model(new FindingListModel(this))
{
    setObjectName(QStringLiteral("CheckWindow"));
    setWindowTitle(QStringLiteral("Check dialog"));
    resize(640, 320);
    auto *layout = new QVBoxLayout(this);
    m_list = named(new QTreeView(this), "FindingList");
    m_list->setModel(m_model);
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAllColumnsShowFocus(true);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    m_list->header()->setSectionResizeMode(QHeaderView::Interactive);
    m_list->header()->setStretchLastSection(true);
    m_list->header()->setResizeContentsPrecision(kFittedRows);
    layout->addWidget(m_list, 1);
    auto *row = new QHBoxLayout;
    m_summary = named(new QLabel(this), "FindingSummary");
    row->addWidget(m_summary, 1);
    addCloseControls(this, row);
    layout->addLayout(row);

    // Edits come in bursts (a dialog is several nodes): the check runs once the command that
    // made them is done.
    m_pending.setSingleShot(true);
    m_pending.setInterval(0);
    connect(&m_pending, &QTimer::timeout, this, &CheckWindow::refresh);
    connect(m_list, &QTreeView::activated, this, &CheckWindow::activate);
    connect(m_list, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        if (QMenu *menu = spellingMenu(m_list->indexAt(pos))) {
            menu->exec(m_list->viewport()->mapToGlobal(pos));
            delete menu;
        }
    });
    connect(m_list->header(), &QHeaderView::sectionResized, this, [this](int section) {
        if (!m_fitting && section != FindingListModel::FindingColumn)
            m_sizedByHand = true;
    });
    connectTreeChanges(changes, this, [this] { treeChanged(); });
}

CheckWindow::~CheckWindow()
{
    // A check still running reads a dictionary this window no longer answers for.
    for (QThread *worker : std::as_const(m_workers))
        worker->wait();
}

void CheckWindow::setSpelling(SpellingSource source)
{
    m_spellingSource = std::move(source);
    if (isVisible())
        refresh();
}

void CheckWindow::setReadings(ReadingsReplayer *readings)
{
    m_readings = readings;
    connect(m_readings, &ReadingsReplayer::replayed, this, &CheckWindow::showReadings);
}

void CheckWindow::showReadings()
{
    std::vector<CheckFinding> differing;
    if (m_readings) {
        for (const SavedReading &reading : m_readings->readings().all()) {
            const ReadingsReplayer::Outcome *outcome = m_readings->outcome(reading.name);
            if (!outcome || outcome->agrees)
                continue;
            const DialogNode *node = outcome->differsAt;
            differing.push_back(
                {node, node ? node->text() : QByteArray("Readings"),
                 "Reading \"" + Ansi::fromUnicode(reading.name) + '"',
                 QStringLiteral("differs from its saved transcript: %1; replay it in the "
                                "read-through, and Accept the change there if it is meant")
                     .arg(outcome->diff->firstDifferenceText())});
        }
    }
    const size_t count = differing.size();
    m_model->setGroup(FindingListModel::Group::Readings, std::move(differing),
                      QStringLiteral("Readings"),
                      QStringLiteral("%1 saved reading(s) differ").arg(count));
    showGroup(FindingListModel::Group::Readings);
}

void CheckWindow::showGroup(FindingListModel::Group group)
{
    const QModelIndex row = m_model->groupIndex(group);
    if (!row.isValid())
        return;
    m_list->setRootIsDecorated(true);
    m_list->expand(row);
    fitColumns();
}

void CheckWindow::refresh()
{
    m_pending.stop();
    // The list stays where it was scrolled to.
    const int top = m_list->indexAt(QPoint(0, 0)).row();
    m_model->setFindings(DialogCheck::check(m_tree));
    if (top > 0)
        m_list->scrollTo(m_model->index(top, 0), QAbstractItemView::PositionAtTop);
    m_list->setRootIsDecorated(false);
    const size_t count = m_model->findings().size();
    m_summary->setText(count == 0 ? QStringLiteral("Nothing to report.")
                                  : QStringLiteral("%1 finding(s).").arg(count));
    fitColumns();
    showReadings();
    startSpelling();
}

void CheckWindow::fitColumns()
{
    if (m_sizedByHand)
        return;
    m_fitting = true;
    m_list->resizeColumnToContents(FindingListModel::DialogColumn);
    m_list->resizeColumnToContents(FindingListModel::NodeColumn);
    const int most = m_list->viewport()->width() / kNodeColumnShare;
    if (m_list->columnWidth(FindingListModel::NodeColumn) > most)
        m_list->setColumnWidth(FindingListModel::NodeColumn, most);
    m_fitting = false;
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
            showSpelling(std::move(*result), dictionary->language());
    });
    worker->start(QThread::LowPriority);
}

void CheckWindow::showSpelling(std::vector<CheckFinding> findings, const QString &language)
{
    const size_t count = m_model->findings().size();
    QString summary = count == 0 ? QString() : QStringLiteral("%1 finding(s). ").arg(count);
    summary +=
        findings.empty()
            ? QStringLiteral("No misspelled words (%1).").arg(language)
            : QStringLiteral("%1 misspelled word(s) (%2).").arg(findings.size()).arg(language);
    if (count == 0 && findings.empty())
        summary = QStringLiteral("Nothing to report.");
    m_summary->setText(summary);
    // A group of its own, after the other findings.
    const size_t words = findings.size();
    m_model->setGroup(FindingListModel::Group::Spelling, std::move(findings),
                      QStringLiteral("Spelling (%1)").arg(language),
                      QStringLiteral("%1 word(s) not in the dictionary").arg(words));
    showGroup(FindingListModel::Group::Spelling);
}

QMenu *CheckWindow::spellingMenu(const QModelIndex &index)
{
    const std::shared_ptr<SpellDictionary> dictionary =
        m_spellingSource ? m_spellingSource() : nullptr;
    // A line from before the last edit may name a node that is gone.
    if (!dictionary || m_pending.isActive() ||
        !m_model->isIn(index, FindingListModel::Group::Spelling))
        return nullptr;
    const CheckFinding finding = *m_model->finding(index);
    auto *menu = new QMenu(this);
    SpellingMenu::addWordItems(
        menu, nullptr, *dictionary, finding.word,
        [this, finding](const QString &suggestion) {
            emit wordReplaced(finding.node, finding.word, suggestion);
        },
        [this, word = finding.word] { emit wordAdded(word); });
    return menu;
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

void CheckWindow::activate(const QModelIndex &index)
{
    // A finding from before the last edit may name a node that is gone: check again first, and
    // let the author pick from the fresh list.
    if (m_pending.isActive()) {
        refresh();
        return;
    }
    const CheckFinding *finding = m_model->finding(index);
    if (finding && finding->node)
        m_select(finding->node);
}
