#pragma once

#include "document/dialog_check.h"

#include <QAbstractItemModel>
#include <array>
#include <vector>

// The check window's list: one row per finding of the check (dialog, node, finding), then the
// groups of further findings (the saved readings that differ, the misspelled words), each as the
// children of one group row. A new list of findings resets the model, so the view does no work
// per row and a list of many thousand findings refills at once.
class FindingListModel : public QAbstractItemModel
{
    Q_OBJECT
public:
    enum Column { DialogColumn, NodeColumn, FindingColumn, ColumnCount };
    // In the order their rows follow the findings.
    enum class Group { Readings, Spelling };

    explicit FindingListModel(QObject *parent = nullptr);

    // Shows findings and drops every group, whose nodes may be gone.
    void setFindings(std::vector<CheckFinding> findings);
    // Shows a group's findings under a row that reads title and summary; none while findings is
    // empty.
    void setGroup(Group group, std::vector<CheckFinding> findings, const QString &title,
                  const QString &summary);

    const std::vector<CheckFinding> &findings() const { return m_findings; }
    const std::vector<CheckFinding> &groupFindings(Group group) const;
    // The finding a row shows; none for a group row.
    const CheckFinding *finding(const QModelIndex &index) const;
    bool isIn(const QModelIndex &index, Group group) const;
    // The group's row; invalid while it has none.
    QModelIndex groupIndex(Group group) const;

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    struct GroupRows
    {
        std::vector<CheckFinding> findings;
        QString title;
        QString summary;
    };
    static constexpr int kGroups = 2;
    // An index's internal id: 0 for a top row, the group's number + 1 for a row under it.
    static quintptr idOf(Group group) { return quintptr(group) + 1; }
    const GroupRows *groupOf(const QModelIndex &index) const;
    // Where group's row stands, or would stand, among the top rows.
    int placeOf(Group group) const;
    // The row of group among the top rows; -1 while it is empty.
    int groupRow(Group group) const;
    int topRows() const;

    std::vector<CheckFinding> m_findings;
    std::array<GroupRows, kGroups> m_groups;
};
