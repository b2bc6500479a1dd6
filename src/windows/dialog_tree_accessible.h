#pragma once

#include <QAccessibleWidget>
#include <QHash>

class DialogNode;
class DialogTreeView;

// What assistive technology sees of the tree view: a tree of items, one per node, each with its
// parent, its children and its open state, as the document has them. The view shows the nodes
// as a flat list of rows and draws the levels itself, so Qt's own interface would report every
// row at the first level.
class DialogTreeAccessible : public QAccessibleWidget
{
public:
    explicit DialogTreeAccessible(DialogTreeView *view);
    ~DialogTreeAccessible() override;

    // Makes Qt use this interface for every DialogTreeView.
    static void install();

    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;

    DialogTreeView *view() const;
    // The interface of node, made on first request and kept until the tree changes.
    QAccessibleInterface *itemFor(const DialogNode *node) const;
    // Forgets every item: the nodes they stand for may be gone.
    void forgetItems();

private:
    mutable QHash<const DialogNode *, QAccessible::Id> m_items;
};
