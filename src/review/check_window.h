#pragma once

#include "document/dialog_check.h"

#include <QTimer>
#include <QWidget>
#include <functional>

class DialogTree;
class QAbstractItemModel;
class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

// The findings of the check, one line each, beside the main window. While the window is shown
// it checks again shortly after every change of the tree; activating a line selects its node.
class CheckWindow : public QWidget
{
    Q_OBJECT
public:
    using Select = std::function<void(const DialogNode *)>;

    CheckWindow(const DialogTree &tree, QAbstractItemModel *changes, Select select,
                QWidget *parent = nullptr);

    // Checks the tree now and shows the result.
    void refresh();
    QTreeWidget *list() const { return m_list; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void treeChanged();
    void activate(QTreeWidgetItem *item);

    const DialogTree &m_tree;
    Select m_select;
    QTreeWidget *m_list;
    QLabel *m_summary;
    QTimer m_pending;
    std::vector<CheckFinding> m_findings;
};
