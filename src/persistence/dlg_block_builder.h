#pragma once

#include "dlg_record.h"

#include <QByteArray>
#include <QString>
#include <vector>

// Builds a .dlg node block record by record, in pre-order, without keeping the records: each
// goes straight into the block, and the child counts (and the image index of a record whose
// kind only its first child tells) are filled in as the later records arrive. A large listing
// thus needs no more memory than its block.
class DlgBlockBuilder
{
public:
    // The most bytes a node's text holds, and what a longer one is told.
    static constexpr qsizetype kLongestText = 255;
    static QString tooLongText();

    DlgBlockBuilder();

    // Appends record; its level is at most one deeper than the record before. Without numbers
    // (numbered false) the record gets the image index of its kind. Returns an empty string, or
    // why the record cannot go into a block the reader takes back.
    QString append(const DlgRecord &record, bool numbered);
    // The block so far; an empty one when no record came.
    QByteArray take();

private:
    QByteArray m_block;
    std::vector<qsizetype> m_open; // offset of the last record on each level, top level first
    qsizetype m_guessed = -1;      // offset of the last record whose kind its first child tells
    int m_lastLevel = -1;
};
