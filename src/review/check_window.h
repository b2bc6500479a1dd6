#pragma once

#include "document/dialog_check.h"

#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

class DialogTree;
class QThread;
class ReadingsReplayer;
class SpellDictionary;
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
    ~CheckWindow() override;

    // Where the dictionary of the moment comes from; with one, the misspelled words are listed
    // in a group of their own, found on another thread.
    using SpellingSource = std::function<std::shared_ptr<SpellDictionary>()>;
    void setSpelling(SpellingSource source);
    // Whether the spelling of the last refresh is still being checked.
    bool spellingPending() const { return !m_workers.isEmpty(); }

    // The saved readings of the document: while the window is shown they replay after every
    // edit, and those whose transcript differs are listed in a group of their own.
    void setReadings(ReadingsReplayer *readings);

    // Checks the tree now and shows the result.
    void refresh();
    QTreeWidget *list() const { return m_list; }

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void treeChanged();
    void activate(QTreeWidgetItem *item);
    void startSpelling();
    void showSpelling(const std::vector<CheckFinding> &findings, const QString &language);
    QTreeWidgetItem *findingItem(const CheckFinding &finding, qulonglong index) const;
    void showReadings();

    const DialogTree &m_tree;
    Select m_select;
    QTreeWidget *m_list;
    QLabel *m_summary;
    QTimer m_pending;
    std::vector<CheckFinding> m_findings;
    SpellingSource m_spellingSource;
    std::vector<CheckFinding> m_spelling;
    QTreeWidgetItem *m_spellingGroup = nullptr;
    ReadingsReplayer *m_readings = nullptr;
    std::vector<CheckFinding> m_readingFindings;
    QTreeWidgetItem *m_readingsGroup = nullptr;
    quint64 m_generation = 0;
    QList<QThread *> m_workers;
};
