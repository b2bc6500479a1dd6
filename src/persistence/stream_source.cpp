#include "stream_source.h"

#include "platform/app_error.h"

#include <QIODevice>
#include <QtEndian>

namespace {

constexpr qint64 kChunk = 64 * 1024;

} // namespace

StreamSource::StreamSource(QIODevice &device) : m_device(device) {}

void StreamSource::fail()
{
    throw AppError(QStringLiteral("Stream read error"));
}

void StreamSource::readExactly(char *data, qint64 count)
{
    while (count > 0) {
        const qint64 got = m_device.read(data, count);
        if (got <= 0)
            fail();
        data += got;
        count -= got;
    }
}

quint8 StreamSource::readByte()
{
    char c;
    readExactly(&c, 1);
    return quint8(c);
}

quint8 StreamSource::peekByte()
{
    char c;
    if (m_device.peek(&c, 1) != 1)
        fail();
    return quint8(c);
}

qint16 StreamSource::readInt16()
{
    char b[2];
    readExactly(b, 2);
    return qFromLittleEndian<qint16>(b);
}

qint32 StreamSource::readInt32()
{
    char b[4];
    readExactly(b, 4);
    return qFromLittleEndian<qint32>(b);
}

QByteArray StreamSource::readBytes(qint64 count)
{
    if (count < 0)
        fail();
    if (!m_device.isSequential()) {
        if (count > m_device.size() - m_device.pos())
            fail();
        QByteArray result(count, Qt::Uninitialized);
        readExactly(result.data(), count);
        return result;
    }
    QByteArray result;
    while (result.size() < count) {
        const qint64 piece = std::min(kChunk, count - result.size());
        const qsizetype at = result.size();
        result.resize(at + piece);
        readExactly(result.data() + at, piece);
    }
    return result;
}

QByteArray StreamSource::readShortString()
{
    return readBytes(readByte());
}

void StreamSource::skip(qint64 count)
{
    if (count < 0)
        fail();
    if (!m_device.isSequential()) {
        if (count > m_device.size() - m_device.pos() || !m_device.seek(m_device.pos() + count))
            fail();
        return;
    }
    char buffer[4096];
    while (count > 0) {
        const qint64 piece = std::min<qint64>(sizeof buffer, count);
        readExactly(buffer, piece);
        count -= piece;
    }
}
