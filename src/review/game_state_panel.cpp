#include "game_state_panel.h"

#include "document/dialog_node.h"
#include "document/game_state.h"
#include "platform/ansi.h"
#include "platform/named.h"

#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

enum Group { Variables, Calls, Removed, Reached };

QString by(const DialogNode *dialog)
{
    return dialog ? Ansi::toUnicode(dialog->text()) : QStringLiteral("start");
}

} // namespace

GameStatePanel::GameStatePanel(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_state = named(new QTreeWidget(this), "StateList");
    m_state->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Type"),
                              QStringLiteral("Value"), QStringLiteral("By")});
    m_state->header()->setSectionResizeMode(QHeaderView::Interactive);
    m_state->setColumnWidth(0, 150);
    m_state->setColumnWidth(1, 50);
    m_state->setColumnWidth(2, 120);
    m_state->setUniformRowHeights(true);
    for (const QString &title : {QStringLiteral("Variables"), QStringLiteral("Function calls"),
                                 QStringLiteral("Removed"), QStringLiteral("Reached")}) {
        auto *item = new QTreeWidgetItem(m_state, {title});
        QFont bold = item->font(0);
        bold.setBold(true);
        item->setFont(0, bold);
        item->setFirstColumnSpanned(true);
    }
    layout->addWidget(m_state, 1);

    auto *label = new QLabel(QStringLiteral("&Start state, one line each: Set Short gold = 5, "
                                            "Delete = 4, Delete = 2 from 3"),
                             this);
    label->setWordWrap(true);
    m_start = named(new QPlainTextEdit(this), "StartState");
    m_start->setPlaceholderText(QStringLiteral("Set Short gold = 5\nDelete = 2 from 3"));
    m_start->setTabChangesFocus(true);
    m_start->setMaximumHeight(90);
    label->setBuddy(m_start);
    layout->addWidget(label);
    layout->addWidget(m_start);
}

QTreeWidgetItem *GameStatePanel::group(int index, const QString &title, int count)
{
    QTreeWidgetItem *item = m_state->topLevelItem(index);
    qDeleteAll(item->takeChildren());
    item->setText(0, QStringLiteral("%1 (%2)").arg(title).arg(count));
    item->setExpanded(true);
    return item;
}

void GameStatePanel::show(const GameState &state)
{
    m_state->setUpdatesEnabled(false);
    QTreeWidgetItem *variables =
        group(Variables, QStringLiteral("Variables"), int(state.variables().size()));
    for (const GameState::Variable &variable : state.variables())
        new QTreeWidgetItem(variables,
                            {Ansi::toUnicode(variable.name), Ansi::toUnicode(variable.type),
                             Ansi::toUnicode(variable.value), by(variable.setBy)});
    QTreeWidgetItem *calls =
        group(Calls, QStringLiteral("Function calls"), int(state.calls().size()));
    int number = 0;
    for (const GameState::Call &call : state.calls()) {
        QStringList parameters;
        for (const QByteArray &parameter : call.parameters())
            parameters << Ansi::toUnicode(parameter);
        new QTreeWidgetItem(
            calls, {QStringLiteral("%1. %2").arg(++number).arg(Ansi::toUnicode(call.function())),
                    QString(), parameters.join(QStringLiteral(", ")), by(call.by)});
    }
    QTreeWidgetItem *removed =
        group(Removed, QStringLiteral("Removed"), int(state.removed().size()));
    for (const DialogNode *node : state.removed())
        (new QTreeWidgetItem(removed, {GameState::removedName(node)}))->setFirstColumnSpanned(true);
    QTreeWidgetItem *reached =
        group(Reached, QStringLiteral("Reached"), int(state.reached().size()));
    for (const GameState::Reach &reach : state.reached())
        new QTreeWidgetItem(reached,
                            {Ansi::toUnicode(reach.dialog->text()), QString(),
                             reach.count == 1 ? QStringLiteral("once")
                                              : QStringLiteral("%1 times").arg(reach.count)});
    m_state->setUpdatesEnabled(true);
}
