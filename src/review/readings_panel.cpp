#include "readings_panel.h"

#include "platform/app_error.h"
#include "platform/named.h"
#include "platform/prompter.h"
#include "review/readings_replayer.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// Lines shown before the first difference, for where it stands.
constexpr int kContext = 2;

enum Column { NameColumn, StartColumn, ResultColumn };

} // namespace

ReadingsPanel::ReadingsPanel(ReadingsReplayer &replayer, Prompter &prompter, QWidget *parent)
    : QWidget(parent), m_replayer(replayer), m_prompter(prompter)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_list = named(new QTreeWidget(this), "ReadingList");
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setHeaderLabels(
        {QStringLiteral("Reading"), QStringLiteral("Start"), QStringLiteral("Result")});
    m_list->header()->setSectionResizeMode(QHeaderView::Interactive);
    m_list->setColumnWidth(NameColumn, 140);
    m_list->setColumnWidth(StartColumn, 90);
    layout->addWidget(m_list, 2);

    auto *buttons = new QHBoxLayout;
    m_replay = named(new QPushButton(QStringLiteral("Re&play"), this), "ReplayReading");
    auto *replayAll = named(new QPushButton(QStringLiteral("Replay a&ll"), this), "ReplayAll");
    m_accept = named(new QPushButton(QStringLiteral("&Accept"), this), "AcceptReading");
    m_accept->setToolTip(QStringLiteral("Keep today's transcript as the reading's own"));
    m_remove = named(new QPushButton(QStringLiteral("Remo&ve"), this), "RemoveReading");
    for (QPushButton *button : {m_replay, replayAll, m_accept, m_remove})
        buttons->addWidget(button);
    buttons->addStretch(1);
    layout->addLayout(buttons);

    m_summary = named(new QLabel(this), "ReadingSummary");
    m_summary->setWordWrap(true);
    layout->addWidget(m_summary);
    m_difference = named(new QTreeWidget(this), "FirstDifference");
    m_difference->setRootIsDecorated(false);
    m_difference->setHeaderLabels({QStringLiteral("Saved"), QStringLiteral("Now")});
    m_difference->setColumnWidth(0, 220);
    layout->addWidget(m_difference, 3);

    connect(m_replay, &QPushButton::clicked, this, [this] {
        if (!selectedName().isEmpty())
            emit replayRequested(selectedName());
    });
    connect(m_list, &QTreeWidget::itemActivated, this,
            [this] { emit replayRequested(selectedName()); });
    connect(replayAll, &QPushButton::clicked, this, [this] {
        if (const QString problem = m_replayer.reload(); !problem.isEmpty())
            m_prompter.message(problem);
        m_replayer.replayAll();
    });
    connect(m_accept, &QPushButton::clicked, this, &ReadingsPanel::acceptSelected);
    connect(m_remove, &QPushButton::clicked, this, &ReadingsPanel::removeSelected);
    connect(m_list, &QTreeWidget::currentItemChanged, this, &ReadingsPanel::showDifference);
    connect(&m_replayer, &ReadingsReplayer::readingsChanged, this, &ReadingsPanel::fill);
    connect(&m_replayer, &ReadingsReplayer::replayed, this, &ReadingsPanel::showOutcomes);
    fill();
}

QString ReadingsPanel::selectedName() const
{
    const QTreeWidgetItem *item = m_list->currentItem();
    return item ? item->text(NameColumn) : QString();
}

void ReadingsPanel::showEvent(QShowEvent *event)
{
    m_replayer.setWatching(this, true);
    m_replayer.reload();
    m_replayer.replayAll();
    QWidget::showEvent(event);
}

void ReadingsPanel::hideEvent(QHideEvent *event)
{
    m_replayer.setWatching(this, false);
    QWidget::hideEvent(event);
}

void ReadingsPanel::fill()
{
    const QString selected = selectedName();
    m_list->clear();
    for (const SavedReading &reading : m_replayer.readings().all()) {
        auto *item = new QTreeWidgetItem(
            m_list, {reading.name, reading.start.from
                                       ? QStringLiteral("Dialog%1").arg(reading.start.from->dialog)
                                       : QStringLiteral("Dialog1")});
        if (reading.name == selected)
            m_list->setCurrentItem(item);
    }
    if (!m_list->currentItem() && m_list->topLevelItemCount() > 0)
        m_list->setCurrentItem(m_list->topLevelItem(0));
    showOutcomes();
}

void ReadingsPanel::showOutcomes()
{
    int differing = 0;
    int waiting = 0;
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = m_list->topLevelItem(i);
        const ReadingsReplayer::Outcome *outcome = m_replayer.outcome(item->text(NameColumn));
        QFont font = item->font(NameColumn);
        font.setBold(outcome && !outcome->agrees);
        for (int column = 0; column < m_list->columnCount(); ++column) {
            item->setFont(column, font);
            item->setForeground(column, outcome && !outcome->agrees ? QBrush(Qt::darkRed)
                                                                    : m_list->palette().text());
        }
        if (!outcome) {
            ++waiting;
            item->setText(ResultColumn, QStringLiteral("not replayed yet"));
        } else if (outcome->agrees) {
            item->setText(ResultColumn, QStringLiteral("agrees"));
        } else {
            ++differing;
            item->setText(ResultColumn,
                          QStringLiteral("differs: ") + outcome->diff->firstDifferenceText());
        }
    }
    const int count = m_list->topLevelItemCount();
    QString summary;
    if (!m_replayer.problem().isEmpty())
        summary = m_replayer.problem();
    else if (count == 0)
        summary = QStringLiteral("No saved readings. \"Save reading...\" keeps the reading "
                                 "shown, to replay it after later edits.");
    else
        summary =
            QStringLiteral("%1 reading(s): %2 differ%3.")
                .arg(count)
                .arg(differing)
                .arg(waiting ? QStringLiteral(", %1 not replayed yet").arg(waiting) : QString());
    m_summary->setText(summary);
    showDifference();
}

void ReadingsPanel::showDifference()
{
    m_difference->clear();
    const QString name = selectedName();
    const ReadingsReplayer::Outcome *outcome = name.isEmpty() ? nullptr : m_replayer.outcome(name);
    const SavedReading *saved = m_replayer.readings().find(name);
    m_replay->setEnabled(saved != nullptr);
    m_remove->setEnabled(saved != nullptr);
    m_accept->setEnabled(outcome && !outcome->agrees);
    if (!outcome || outcome->agrees || !saved)
        return;
    // The first difference with the lines before it, up to where both sides meet again; what
    // went and what came in its place stand side by side.
    const auto &rows = outcome->diff->rows();
    const int first = outcome->diff->firstDifference();
    int r = std::max(0, first - kContext);
    const auto add = [this](const QString &before, const QString &after, bool changed) {
        auto *item = new QTreeWidgetItem(m_difference, {before, after});
        if (changed) {
            item->setBackground(0, QColor(0xff, 0xe0, 0xe0));
            item->setBackground(1, QColor(0xe0, 0xff, 0xe0));
        }
    };
    for (; r < first; ++r)
        add(saved->transcript.value(rows[size_t(r)].saved), outcome->now.value(rows[size_t(r)].now),
            false);
    QStringList went;
    QStringList came;
    for (; r < int(rows.size()) && rows[size_t(r)].kind != TranscriptDiff::Row::Same; ++r) {
        if (rows[size_t(r)].kind == TranscriptDiff::Row::Saved)
            went << saved->transcript.value(rows[size_t(r)].saved);
        else
            came << outcome->now.value(rows[size_t(r)].now);
    }
    for (qsizetype i = 0; i < std::max(went.size(), came.size()); ++i)
        add(went.value(i), came.value(i), true);
    if (r < int(rows.size()))
        add(saved->transcript.value(rows[size_t(r)].saved), outcome->now.value(rows[size_t(r)].now),
            false);
}

void ReadingsPanel::acceptSelected()
{
    const QString name = selectedName();
    if (name.isEmpty())
        return;
    try {
        m_replayer.accept(name);
    } catch (const AppError &e) {
        m_prompter.error(e.text());
    }
}

void ReadingsPanel::removeSelected()
{
    const QString name = selectedName();
    if (name.isEmpty() ||
        !m_prompter.confirm(QStringLiteral("Remove the saved reading \"%1\"?").arg(name)))
        return;
    try {
        m_replayer.remove(name);
    } catch (const AppError &e) {
        m_prompter.error(e.text());
    }
}
