#pragma once

#include <QWidget>

class GameState;
class QPlainTextEdit;
class QTreeWidget;
class QTreeWidgetItem;

// The state beside the read-through: what the reading has set, called, removed and reached so
// far, and the start state the author types for the next start, one line each in the actions'
// own forms ("Set Short gold = 5", "Delete = 4", "Delete = 2 from 3").
class GameStatePanel : public QWidget
{
    Q_OBJECT
public:
    explicit GameStatePanel(QWidget *parent = nullptr);

    // Shows state; its nodes are read now and not kept.
    void show(const GameState &state);
    QTreeWidget *stateList() const { return m_state; }
    QPlainTextEdit *startState() const { return m_start; }

private:
    QTreeWidgetItem *group(int index, const QString &title, int count);

    QTreeWidget *m_state;
    QPlainTextEdit *m_start;
};
