#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <vector>

// One node record of a .dlg node block as it is stored, with the node's level (0 for a top-level
// node) standing in for the child counts: a list of records in pre-order gives the child counts
// back.
struct DlgRecord
{
    int level = 0;
    qint32 image = 0;
    qint32 selected = 0;
    qint32 state = -1;
    qint32 overlay = -1;
    quint32 data = 0;
    QByteArray text;
};

using DlgRecordList = std::vector<DlgRecord>;
