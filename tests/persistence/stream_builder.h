#pragma once

#include <QByteArray>
#include <QList>
#include <QtEndian>

// Hand-made component streams for the reader tests.
namespace StreamBuilder {

inline QByteArray shortString(const QByteArray &text)
{
    return char(text.size()) + text;
}

inline QByteArray int32(qint32 value)
{
    char b[4];
    qToLittleEndian(value, b);
    return QByteArray(b, 4);
}

inline QByteArray int8Value(qint8 value)
{
    return QByteArray(1, char(2)) + char(value);
}

inline QByteArray entry(const QByteArray &name, const QByteArray &value)
{
    return shortString(name) + value;
}

struct Record
{
    QByteArray text;
    qint32 children = 0;
    qint32 image = 0;
    quint32 data = 0;
};

inline QByteArray record(const Record &r)
{
    return int32(25 + qint32(r.text.size())) + int32(r.image) + int32(0) + int32(-1) + int32(-1) +
           int32(qint32(r.data)) + int32(r.children) + shortString(r.text);
}

inline QByteArray block(qint32 topLevel, const QList<Record> &records)
{
    QByteArray out = int32(topLevel);
    for (const Record &r : records)
        out += record(r);
    return out;
}

inline QByteArray binaryValue(const QByteArray &bytes)
{
    return char(10) + int32(qint32(bytes.size())) + bytes;
}

inline QByteArray itemsData(const QByteArray &blockBytes)
{
    return entry("Items.Data", binaryValue(blockBytes));
}

// "TPF0", the header, the entries, and the two end markers.
inline QByteArray stream(const QByteArray &entries, const QByteArray &objectName = "TreeView1",
                         const QByteArray &className = "TTreeView")
{
    return "TPF0" + shortString(className) + shortString(objectName) + entries +
           QByteArray(2, '\0');
}

} // namespace StreamBuilder
