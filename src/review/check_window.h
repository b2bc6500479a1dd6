#pragma once

#include "document/dialog_check.h"
#include "finding_list_model.h"

#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

class DialogTree;
class ReadingsReplayer;
class QThread;
class SpellDictionary;
class QAbstractItemModel;
class QLabel;
class QMenu;
class QModelIndex;
class QTreeView;

// The findings of the check, one line each, beside the main window. While the window is shown
// it checks again right after every change of the tree; activating a line selects its node.
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
    QTreeView *list() const { return m_list; }
    FindingListModel *findings() const { return m_model; }
    // The menu of a misspelled word's line: its suggestions and "Add to dictionary"; none for
    // any other line, or when the list is about to change.
    QMenu *spellingMenu(const QModelIndex &index);

signals:
    // A suggestion was chosen for a misspelled word of node's text.
    void wordReplaced(const DialogNode *node, const QString &word, const QString &replacement);
    // "Add to dictionary" was chosen for a word.
    void wordAdded(const QString &word);

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void treeChanged();
    void activate(const QModelIndex &index);
    void startSpelling();
    void showSpelling(std::vector<CheckFinding> findings, const QString &language);
    // Fits the label and node columns to what they show, unless the author sized them.
    void fitColumns();
    void showReadings();
    // Shows a group's row opened, when it has one.
    void showGroup(FindingListModel::Group group);

    const DialogTree &m_tree;
    Select m_select;
    QTreeView *m_list;
    FindingListModel *m_model;
    QLabel *m_summary;
    QTimer m_pending;
    SpellingSource m_spellingSource;
    ReadingsReplayer *m_readings = nullptr;
    quint64 m_generation = 0;
    QList<QThread *> m_workers;
    bool m_fitting = false;
    bool m_sizedByHand = false;
};
