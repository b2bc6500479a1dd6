#pragma once

#include <QByteArray>
#include <QtGlobal>

class QIODevice;

// Bounded reading from a device for the .dlg reader. Every length is checked against the bytes
// the device still holds before anything is allocated for it; running out of bytes throws
// AppError "Stream read error". Sequential devices, whose size is unknown, are read in chunks so
// that memory grows only with the bytes that really arrive.
class StreamSource
{
public:
    explicit StreamSource(QIODevice &device);

    quint8 readByte();
    // The next byte without consuming it.
    quint8 peekByte();
    qint16 readInt16();
    qint32 readInt32();
    QByteArray readBytes(qint64 count);
    // A length byte and that many bytes.
    QByteArray readShortString();
    void skip(qint64 count);

private:
    void readExactly(char *data, qint64 count);
    [[noreturn]] static void fail();

    QIODevice &m_device;
};
