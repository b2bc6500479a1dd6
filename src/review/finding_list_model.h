#pragma once

#include "document/dialog_check.h"

#include <QAbstractItemModel>
#include <vector>

// The check window's list: one row per finding of the check (dialog, node, finding), then the
// misspelled words as the children of one group row. A new list of findings replaces the rows'
// contents in place when their number stays, and resets the model otherwise; either way the
// view does no work per row, so a list of many thousand findings refills at once.
class FindingListModel : public QAbstractItemModel
{
    Q_OBJECT
public:
    enum Column { DialogColumn, NodeColumn, FindingColumn, ColumnCount };

    explicit FindingListModel(QObject *parent = nullptr);

    // Shows findings and drops the spelling group, whose nodes may be gone.
    void setFindings(std::vector<CheckFinding> findings);
    // Adds the group of misspelled words after the findings; none when words is empty.
    void setSpelling(std::vector<CheckFinding> words, const QString &language);

    const std::vector<CheckFinding> &findings() const { return m_findings; }
    const std::vector<CheckFinding> &spelling() const { return m_spelling; }
    // The finding a row shows; none for the group row.
    const CheckFinding *finding(const QModelIndex &index) const;
    bool isSpelling(const QModelIndex &index) const;
    // The group row of the misspelled words; invalid while there is none.
    QModelIndex spellingGroup() const;

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    // Where a row lies: among the findings, or under the group row.
    enum Place : quintptr { TopRow = 0, SpellingRow = 1 };
    int topRows() const { return int(m_findings.size()) + (m_spelling.empty() ? 0 : 1); }

    std::vector<CheckFinding> m_findings;
    std::vector<CheckFinding> m_spelling;
    QString m_language;
};
