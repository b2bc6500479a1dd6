#include "text_replacement.h"

#include "document/dialog_tree.h"
#include "document/node_text.h"
#include "platform/ansi.h"

#include <array>

namespace {

// What each Windows-1252 byte is: its small letter, and whether it belongs to a word. Taken
// from the Unicode character the byte stands for, so that an accented capital and its small
// letter are one letter, and both count as letters of a word.
struct ByteClasses
{
    std::array<char, 256> lower{};
    std::array<bool, 256> word{};
};

const ByteClasses &byteClasses()
{
    static const ByteClasses classes = [] {
        ByteClasses c;
        for (int b = 0; b < 256; ++b) {
            const QChar unicode = Ansi::toUnicode(QByteArray(1, char(b))).at(0);
            const char lower = Ansi::fromUnicode(QString(unicode.toLower())).at(0);
            // A small letter the code page lacks ("?") leaves the byte as it is.
            c.lower[size_t(b)] = lower == '?' && unicode != u'?' ? char(b) : lower;
            c.word[size_t(b)] = unicode.isLetterOrNumber() || unicode == u'_';
        }
        return c;
    }();
    return classes;
}

QByteArray folded(const QByteArray &text)
{
    const ByteClasses &classes = byteClasses();
    QByteArray result = text;
    for (char &c : result)
        c = classes.lower[static_cast<unsigned char>(c)];
    return result;
}

bool isWordByte(const QByteArray &text, qsizetype at)
{
    return at >= 0 && at < text.size() &&
           byteClasses().word[static_cast<unsigned char>(text.at(at))];
}

const QByteArray &authorPrefix()
{
    static const QByteArray prefix = NodeText::text(QByteArray());
    return prefix;
}

} // namespace

TextReplacement::TextReplacement(const QByteArray &find, const QByteArray &replacement,
                                 bool matchCase, bool wholeWords)
    : m_find(find), m_replacement(replacement), m_needle(matchCase ? find : folded(find)),
      m_matchCase(matchCase), m_wholeWords(wholeWords)
{
}

bool TextReplacement::isAuthorText(const QByteArray &nodeText)
{
    return nodeText.startsWith(authorPrefix());
}

QList<qsizetype> TextReplacement::matchesIn(const QByteArray &body, bool firstOnly) const
{
    QList<qsizetype> found;
    if (m_needle.isEmpty())
        return found;
    // Folding keeps every byte in its place: a position in the folded text is one in the text.
    const QByteArray haystack = m_matchCase ? body : folded(body);
    const qsizetype length = m_needle.size();
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = haystack.indexOf(m_needle, from);
        if (at < 0)
            break;
        if (m_wholeWords && (isWordByte(body, at - 1) || isWordByte(body, at + length))) {
            from = at + 1;
            continue;
        }
        found.append(at);
        if (firstOnly)
            break;
        from = at + length;
    }
    return found;
}

bool TextReplacement::matches(const QByteArray &nodeText) const
{
    return isAuthorText(nodeText) &&
           !matchesIn(nodeText.mid(authorPrefix().size()), true).isEmpty();
}

QByteArray TextReplacement::replaced(const QByteArray &nodeText, int *count) const
{
    if (count)
        *count = 0;
    if (!isAuthorText(nodeText))
        return nodeText;
    const qsizetype start = authorPrefix().size();
    const QByteArray body = nodeText.mid(start);
    const QList<qsizetype> found = matchesIn(body, false);
    if (found.isEmpty())
        return nodeText;
    QByteArray result = nodeText.left(start);
    result.reserve(nodeText.size() + found.size() * (m_replacement.size() - m_find.size()));
    qsizetype kept = 0;
    for (const qsizetype at : found) {
        result.append(body.constData() + kept, at - kept);
        result.append(m_replacement);
        kept = at + m_find.size();
    }
    result.append(body.constData() + kept, body.size() - kept);
    if (count)
        *count = int(found.size());
    return result;
}

DialogNode *TextReplacement::findNext(const DialogTree &tree, const DialogNode *after,
                                      bool *wrapped) const
{
    if (wrapped)
        *wrapped = false;
    const int count = tree.count();
    const int start = after && tree.contains(after) ? after->absoluteIndex() + 1 : 0;
    for (int step = 0; step < count; ++step) {
        const int index = (start + step) % count;
        DialogNode *node = tree.nodeAt(index);
        if (matches(node->text())) {
            if (wrapped)
                *wrapped = start + step >= count;
            return node;
        }
    }
    return nullptr;
}

TextReplacement::Outcome TextReplacement::replaceIn(DialogTree &tree, DialogNode *node) const
{
    if (!node)
        return {};
    const QByteArray text = replaced(node->text());
    if (text == node->text())
        return {};
    tree.setText(node, text);
    return {1, text.size() > kStoredTextLimit ? 1 : 0};
}

TextReplacement::Outcome TextReplacement::replaceAll(DialogTree &tree) const
{
    Outcome total;
    // A text node's new text never renumbers: the walk sees the same nodes in the same order.
    for (int i = 0; i < tree.count(); ++i) {
        const Outcome one = replaceIn(tree, tree.nodeAt(i));
        total.texts += one.texts;
        total.overLong += one.overLong;
    }
    return total;
}
