#pragma once

#include <QByteArray>
#include <QList>

class DialogNode;
class DialogTree;

// Find and replace over what an author wrote: the part after "Text = " of a node text (a text
// dialog's text and a choice's answer). Labels, numbers, types, speakers, actions and the
// configuration are never searched, and the "Text = " itself is never changed.
//
// The find text is literal. Without match case, the letters of Windows-1252 match in either
// case (accented ones too); with whole words, a match must not have a letter, digit or
// underscore right before or after it. Matches do not overlap and are taken left to right.
class TextReplacement
{
public:
    TextReplacement(const QByteArray &find, const QByteArray &replacement, bool matchCase,
                    bool wholeWords);

    // Saving keeps this many characters of a node text.
    static constexpr int kStoredTextLimit = 255;

    // Whether the text is one an author wrote: it begins with "Text = ".
    static bool isAuthorText(const QByteArray &nodeText);

    // An empty find text finds nothing.
    bool isEmpty() const { return m_find.isEmpty(); }
    // Whether nodeText is an author's text that holds a match.
    bool matches(const QByteArray &nodeText) const;
    // nodeText with every match replaced; count, when given, receives how many there were. Any
    // other text comes back as it is, with a count of 0.
    QByteArray replaced(const QByteArray &nodeText, int *count = nullptr) const;

    // The first matching node in pre-order after `after` (none: from the first node on),
    // wrapping around once, so that `after` itself is tried last; none when nothing matches.
    // wrapped, when given, tells whether the node lies at or before `after`.
    DialogNode *findNext(const DialogTree &tree, const DialogNode *after,
                         bool *wrapped = nullptr) const;

    // What a replacement changed: how many node texts, and how many of those are now longer
    // than saving keeps. A text the replacement leaves as it was does not count.
    struct Outcome
    {
        int texts = 0;
        int overLong = 0;
    };
    // Replaces the matches in node's text through the tree; nothing when it does not match.
    Outcome replaceIn(DialogTree &tree, DialogNode *node) const;
    // Replaces the matches in every node of the tree.
    Outcome replaceAll(DialogTree &tree) const;

private:
    // Where the matches lie in an author's part of a text; at most one when firstOnly.
    QList<qsizetype> matchesIn(const QByteArray &body, bool firstOnly) const;

    QByteArray m_find;
    QByteArray m_replacement;
    QByteArray m_needle; // m_find as it is compared: folded to small letters without match case
    bool m_matchCase;
    bool m_wholeWords;
};
