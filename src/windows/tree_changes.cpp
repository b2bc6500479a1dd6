#include "tree_changes.h"

#include <QAbstractItemModel>

void connectTreeChanges(QAbstractItemModel *model, QObject *receiver,
                        const std::function<void()> &changed)
{
    QObject::connect(model, &QAbstractItemModel::dataChanged, receiver, changed);
    QObject::connect(model, &QAbstractItemModel::rowsInserted, receiver, changed);
    QObject::connect(model, &QAbstractItemModel::rowsRemoved, receiver, changed);
    QObject::connect(model, &QAbstractItemModel::rowsMoved, receiver, changed);
    QObject::connect(model, &QAbstractItemModel::layoutChanged, receiver, changed);
    QObject::connect(model, &QAbstractItemModel::modelReset, receiver, changed);
}
