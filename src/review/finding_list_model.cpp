#include "finding_list_model.h"

#include "platform/ansi.h"

FindingListModel::FindingListModel(QObject *parent) : QAbstractItemModel(parent) {}

void FindingListModel::setFindings(std::vector<CheckFinding> findings)
{
    // A reset costs the view one pass over an array of rows; a change of every row's data
    // would cost it a look at each.
    beginResetModel();
    m_findings = std::move(findings);
    m_spelling.clear();
    endResetModel();
}

void FindingListModel::setSpelling(std::vector<CheckFinding> words, const QString &language)
{
    if (!m_spelling.empty()) {
        beginRemoveRows({}, int(m_findings.size()), int(m_findings.size()));
        m_spelling.clear();
        endRemoveRows();
    }
    if (words.empty())
        return;
    beginInsertRows({}, int(m_findings.size()), int(m_findings.size()));
    m_spelling = std::move(words);
    m_language = language;
    endInsertRows();
}

const CheckFinding *FindingListModel::finding(const QModelIndex &index) const
{
    if (!index.isValid())
        return nullptr;
    if (index.internalId() == SpellingRow)
        return &m_spelling[size_t(index.row())];
    return size_t(index.row()) < m_findings.size() ? &m_findings[size_t(index.row())] : nullptr;
}

bool FindingListModel::isSpelling(const QModelIndex &index) const
{
    return index.isValid() && index.internalId() == SpellingRow;
}

QModelIndex FindingListModel::spellingGroup() const
{
    return m_spelling.empty() ? QModelIndex() : index(int(m_findings.size()), 0);
}

QModelIndex FindingListModel::index(int row, int column, const QModelIndex &parent) const
{
    if (column < 0 || column >= ColumnCount || row < 0)
        return {};
    if (!parent.isValid())
        return row < topRows() ? createIndex(row, column, TopRow) : QModelIndex();
    if (parent == spellingGroup() && size_t(row) < m_spelling.size())
        return createIndex(row, column, SpellingRow);
    return {};
}

QModelIndex FindingListModel::parent(const QModelIndex &child) const
{
    return isSpelling(child) ? spellingGroup() : QModelIndex();
}

int FindingListModel::rowCount(const QModelIndex &parent) const
{
    if (!parent.isValid())
        return topRows();
    return parent.column() == 0 && parent == spellingGroup() ? int(m_spelling.size()) : 0;
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
        if (index.column() == DialogColumn)
            return QStringLiteral("Spelling (%1)").arg(m_language);
        if (index.column() == FindingColumn)
            return QStringLiteral("%1 word(s) not in the dictionary").arg(m_spelling.size());
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
