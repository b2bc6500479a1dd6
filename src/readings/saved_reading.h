#pragma once

#include "reading_start.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// A reading the author keeps, to replay after later edits: its name, its start, the answers it
// took by choice number, and the transcript it gave (ReadingLines) when it was saved or last
// accepted.
struct SavedReading
{
    QString name;
    ReadingStart start;
    QList<QByteArray> answers;
    QStringList transcript;
};
