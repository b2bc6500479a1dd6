#include "finding_list_model.h"

#include "platform/ansi.h"

FindingListModel::FindingListModel(QObject *parent) : QAbstractItemModel(parent) {}

void FindingListModel::setFindings(std::vector<CheckFinding> findings)
{
    // A reset costs the view one pass over an array of rows; a change of every row's data
    // would cost it a look at each.
    beginResetModel();
    m_findings = std::move(findings);
    for (GroupRows &group : m_groups)
        group = {};
    endResetModel();
}

void FindingListModel::setGroup(Group group, std::vector<CheckFinding> findings,
                                const QString &title, const QString &summary)
{
    GroupRows &rows = m_groups[size_t(group)];
    if (const int row = groupRow(group); row >= 0) {
        beginRemoveRows({}, row, row);
        rows = {};
        endRemoveRows();
    }
    if (findings.empty())
        return;
    const int row = placeOf(group);
    beginInsertRows({}, row, row);
    rows = {std::move(findings), title, summary};
    endInsertRows();
}

const std::vector<CheckFinding> &FindingListModel::groupFindings(Group group) const
{
    return m_groups[size_t(group)].findings;
}

const FindingListModel::GroupRows *FindingListModel::groupOf(const QModelIndex &index) const
{
    if (!index.isValid() || index.internalId() == 0)
        return nullptr;
    return &m_groups[size_t(index.internalId() - 1)];
}

const CheckFinding *FindingListModel::finding(const QModelIndex &index) const
{
    if (!index.isValid())
        return nullptr;
    if (const GroupRows *group = groupOf(index))
        return &group->findings[size_t(index.row())];
    return size_t(index.row()) < m_findings.size() ? &m_findings[size_t(index.row())] : nullptr;
}

bool FindingListModel::isIn(const QModelIndex &index, Group group) const
{
    return index.isValid() && index.internalId() == idOf(group);
}

int FindingListModel::placeOf(Group group) const
{
    int row = int(m_findings.size());
    for (int g = 0; g < int(group); ++g)
        row += m_groups[size_t(g)].findings.empty() ? 0 : 1;
    return row;
}

int FindingListModel::groupRow(Group group) const
{
    return m_groups[size_t(group)].findings.empty() ? -1 : placeOf(group);
}

QModelIndex FindingListModel::groupIndex(Group group) const
{
    const int row = groupRow(group);
    return row < 0 ? QModelIndex() : createIndex(row, 0, quintptr(0));
}

int FindingListModel::topRows() const
{
    int rows = int(m_findings.size());
    for (const GroupRows &group : m_groups)
        rows += group.findings.empty() ? 0 : 1;
    return rows;
}

QModelIndex FindingListModel::index(int row, int column, const QModelIndex &parent) const
{
    if (column < 0 || column >= ColumnCount || row < 0)
        return {};
    if (!parent.isValid())
        return row < topRows() ? createIndex(row, column, quintptr(0)) : QModelIndex();
    if (parent.internalId() != 0 || parent.column() != 0)
        return {};
    for (int g = 0; g < kGroups; ++g) {
        const Group group = Group(g);
        if (parent.row() == groupRow(group))
            return size_t(row) < groupFindings(group).size() ? createIndex(row, column, idOf(group))
                                                             : QModelIndex();
    }
    return {};
}

QModelIndex FindingListModel::parent(const QModelIndex &child) const
{
    if (!child.isValid() || child.internalId() == 0)
        return {};
    return groupIndex(Group(child.internalId() - 1));
}

int FindingListModel::rowCount(const QModelIndex &parent) const
{
    if (!parent.isValid())
        return topRows();
    if (parent.internalId() != 0 || parent.column() != 0)
        return 0;
    for (int g = 0; g < kGroups; ++g) {
        if (parent.row() == groupRow(Group(g)))
            return int(groupFindings(Group(g)).size());
    }
    return 0;
}

int FindingListModel::columnCount(const QModelIndex &) const
{
    return ColumnCount;
}

QVariant FindingListModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    const CheckFinding *shown = finding(index);
    if (!shown) {
        if (!index.isValid() || role != Qt::DisplayRole)
            return {};
        for (int g = 0; g < kGroups; ++g) {
            if (index.row() != groupRow(Group(g)))
                continue;
            const GroupRows &group = m_groups[size_t(g)];
            if (index.column() == DialogColumn)
                return group.title;
            if (index.column() == FindingColumn)
                return group.summary;
        }
        return {};
    }
    if (role == Qt::ToolTipRole)
        return index.column() == FindingColumn ? shown->line() : QVariant();
    switch (index.column()) {
    case DialogColumn:
        return Ansi::toUnicode(shown->dialog);
    case NodeColumn:
        return Ansi::toUnicode(shown->nodeText);
    default:
        return shown->message;
    }
}

QVariant FindingListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case DialogColumn:
        return QStringLiteral("Dialog");
    case NodeColumn:
        return QStringLiteral("Node");
    case FindingColumn:
        return QStringLiteral("Finding");
    default:
        return {};
    }
}
