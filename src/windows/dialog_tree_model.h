#pragma once

#include "document/tree_observer.h"

#include <QAbstractItemModel>
#include <QFont>
#include <memory>

class DialogTree;
class DialogNode;
class DialogNumbers;
class UndoHistory;

// Shows a DialogTree in a Qt item view as a flat list: one row per node in pre-order, so a
// node's row is its absolute index, with the node text converted from the ANSI code page, bold
// where the tree says so. Every node is shown open, and the view draws the levels
// (DialogTreeView). A flat list keeps the view's layout of a large tree to one pass over an
// array, and leaves the view no record per open node to update at each change. In-place
// editing gives the node the typed text as it stands, without renumbering.
class DialogTreeModel : public QAbstractItemModel, private TreeObserver
{
    Q_OBJECT
public:
    explicit DialogTreeModel(DialogTree &tree, QObject *parent = nullptr);
    ~DialogTreeModel() override;

    DialogNode *node(const QModelIndex &index) const;
    const DialogTree &tree() const { return m_tree; }
    QModelIndex indexOf(const DialogNode *node) const;
    // The view's font, from which the bold font of bold nodes is made.
    void setBaseFont(const QFont &font);
    // For a goto or delete node, the first words of the dialog it names, "missing" when there is
    // no such dialog; empty for every other node. Drawn beside the node, never stored.
    QString referenceHint(const DialogNode *node) const;
    // Renaming in place is one step of this history.
    void setHistory(UndoHistory *history) { m_history = history; }

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    Qt::DropActions supportedDropActions() const override;
    Qt::DropActions supportedDragActions() const override;

signals:
    // An in-place rename was refused, with what the author is told; the node kept its text.
    void renameRefused(const QString &text);

private:
    void nodeAboutToBeInserted(DialogNode *parent, int row, int position, int count) override;
    void nodeInserted(DialogNode *node) override;
    void nodeAboutToBeRemoved(DialogNode *node) override;
    void nodeRemoved() override;
    void nodeAboutToBeMoved(DialogNode *node, DialogNode *newParent, int newRow) override;
    void nodeMoved(DialogNode *node) override;
    void nodeChanged(DialogNode *node) override;
    void nodesChanged(const std::vector<DialogNode *> &nodes) override;
    void aboutToReset() override;
    void reset() override;

    DialogTree &m_tree;
    QFont m_boldFont;
    UndoHistory *m_history = nullptr;
    // The dialogs by number for the hints: made when a hint is first drawn after a change.
    mutable std::unique_ptr<DialogNumbers> m_numbers;
    // Whether the move under way changes the order of the rows; a move to a place next to the
    // node's own rows only changes levels.
    bool m_movingRows = false;
};
