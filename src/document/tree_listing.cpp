#include "tree_listing.h"

#include "dialog_tree.h"

#include <vector>

namespace {

// Bytes that do not come back through a UTF-8 listing as themselves, or that would break its
// lines: the controls, and the bytes the code page maps to C1 controls.
bool isControl(unsigned char c)
{
    return c < 0x20 || c == 0x7F || c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D;
}

bool needsQuotes(const QByteArray &text)
{
    return text.startsWith(' ') || text.startsWith('"') || TreeListing::holdsControl(text);
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

} // namespace

namespace TreeListing {

bool holdsControl(QByteArrayView text)
{
    for (const char c : text) {
        if (isControl(static_cast<unsigned char>(c)))
            return true;
    }
    return false;
}

void forEach(const DialogTree &tree, const std::function<void(int level, const DialogNode *)> &f)
{
    // The ancestors of the node at hand, found from the previous node's: levels cost one step
    // each, not a walk up from every node.
    std::vector<const DialogNode *> ancestors;
    for (int i = 0; i < tree.count(); ++i) {
        const DialogNode *node = tree.nodeAt(i);
        while (!ancestors.empty() && ancestors.back() != node->parent())
            ancestors.pop_back();
        f(int(ancestors.size()), node);
        ancestors.push_back(node);
    }
}

QByteArray outline(const DialogTree &tree)
{
    QByteArray result;
    forEach(tree, [&result](int level, const DialogNode *node) {
        result.append(qsizetype(2) * level, ' ');
        result += node->text();
        result += '\n';
    });
    return result;
}

QByteArray listedText(const QByteArray &text)
{
    return needsQuotes(text) ? quotedText(text) : text;
}

QByteArray quotedText(const QByteArray &text)
{
    static const char kHex[] = "0123456789ABCDEF";
    QByteArray out;
    out.reserve(text.size() + 8);
    out += '"';
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '"':
            out += "\\\"";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            if (isControl(u)) {
                out += "\\x";
                out += kHex[u >> 4];
                out += kHex[u & 0xF];
            } else {
                out += c;
            }
        }
    }
    out += '"';
    return out;
}

std::optional<QByteArray> parseListedText(const QByteArray &shown)
{
    if (shown.size() < 2 || !shown.startsWith('"') || !shown.endsWith('"'))
        return shown;
    QByteArray text;
    text.reserve(shown.size());
    const qsizetype end = shown.size() - 1;
    for (qsizetype i = 1; i < end; ++i) {
        const char c = shown[i];
        if (c != '\\') {
            text += c;
            continue;
        }
        if (++i >= end)
            return std::nullopt;
        switch (shown[i]) {
        case '\\':
        case '"':
            text += shown[i];
            break;
        case 't':
            text += '\t';
            break;
        case 'n':
            text += '\n';
            break;
        case 'r':
            text += '\r';
            break;
        case 'x': {
            const int high = i + 2 < end ? hexValue(shown[i + 1]) : -1;
            const int low = high >= 0 ? hexValue(shown[i + 2]) : -1;
            if (low < 0)
                return std::nullopt;
            text += char(high * 16 + low);
            i += 2;
            break;
        }
        default:
            return std::nullopt;
        }
    }
    return text;
}

} // namespace TreeListing
