#pragma once

#include <functional>

class QAbstractItemModel;
class QObject;

// Calls changed after every change the tree model reports (inserted, removed or moved rows,
// changed texts, a reset), for windows that show something derived from the document. Going
// through the model's signals keeps the connection safe whichever of the two goes first.
void connectTreeChanges(QAbstractItemModel *model, QObject *receiver,
                        const std::function<void()> &changed);
