#include "dlg_block_builder.h"

#include "dlg_reader.h"
#include "document/node_text.h"

#include <QtEndian>
#include <limits>

namespace {

// A record: size, image, selected, state, overlay, data, children (each 32 bits), the text's
// length in one byte, the text.
constexpr qsizetype kFixed = 29;
constexpr qsizetype kImage = 4;
constexpr qsizetype kChildren = 24;

void put(char *&p, qint32 value)
{
    qToLittleEndian(value, p);
    p += 4;
}

void increment(QByteArray &block, qsizetype offset)
{
    char *at = block.data() + offset;
    qToLittleEndian(qFromLittleEndian<qint32>(at) + 1, at);
}

} // namespace

DlgBlockBuilder::DlgBlockBuilder() : m_block(4, '\0') {}

QString DlgBlockBuilder::tooLongText()
{
    return QStringLiteral("the text is longer than the 255 bytes a node holds");
}

QString DlgBlockBuilder::append(const DlgRecord &record, bool numbered)
{
    if (record.text.size() > kLongestText)
        return tooLongText();
    // The block's length is stored as a signed 32-bit number.
    if (m_block.size() + kFixed + record.text.size() > std::numeric_limits<qint32>::max())
        return QStringLiteral("the listing holds more nodes than a dialog file can take");
    if (record.level > DlgReader::kDeepestLevel)
        return DlgReader::tooDeepText();
    const size_t level = size_t(std::max(record.level, 0));
    if (level > m_open.size())
        return QStringLiteral("the line is indented more than one level below the line before");

    // A dialog without numbers is a text or a choice dialog by its first child.
    if (m_guessed >= 0 && record.level == m_lastLevel + 1) {
        const qint32 image =
            record.text.startsWith("Type") ? 1 : (record.text.startsWith("Choice") ? 2 : 0);
        qToLittleEndian(image, m_block.data() + m_guessed + kImage);
    }
    m_guessed = -1;
    m_open.resize(level);
    increment(m_block, m_open.empty() ? 0 : m_open.back() + kChildren);

    qint32 image = record.image;
    if (!numbered) {
        image = record.level == 0 && NodeText::isRoot(record.text) ? 3 : 0;
        if (image == 0 && NodeText::isDialog(record.text))
            m_guessed = m_block.size();
    }
    const qsizetype offset = m_block.size();
    m_block.resize(offset + kFixed + record.text.size());
    char *p = m_block.data() + offset;
    put(p, qint32(kFixed - 4 + record.text.size()));
    put(p, image);
    put(p, record.selected);
    put(p, record.state);
    put(p, record.overlay);
    put(p, qint32(record.data));
    put(p, 0);
    *p++ = char(record.text.size());
    std::copy(record.text.cbegin(), record.text.cend(), p);
    m_open.push_back(offset);
    m_lastLevel = record.level;
    return QString();
}

QByteArray DlgBlockBuilder::take()
{
    QByteArray block = m_block.size() > 4 ? std::move(m_block) : QByteArray();
    block.squeeze(); // the room grown for later records would stay with the block
    *this = DlgBlockBuilder();
    return block;
}
