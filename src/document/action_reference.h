#pragma once

#include <QByteArray>

// What an action node names by number: the target of "Goto = N", or the dialog (and choice) of
// "Delete = N" and "Delete = C from N". Numbers are 1 to 9999 in decimal without leading zeros,
// as the action commands write them; dialog 0 marks an action whose dialog was deleted.
struct ActionReference
{
    enum Kind { None, Goto, DeleteDialog, DeleteChoice };

    Kind kind = None;
    int dialog = 0;
    int choice = 0;

    // The node text of this reference; empty for None.
    QByteArray text() const;
    // None when text is no goto or delete node, or one whose numbers do not fit the grammar.
    static ActionReference parse(const QByteArray &text);
    // Whether text begins as a goto or delete node does; only such a text can name a dialog.
    static bool mayName(const QByteArray &text);
    // A dialog number of the form the renumbering pass writes: decimal, at least 1, no leading
    // zero; 0 when text is anything else.
    static int parseNumber(QByteArrayView text, int maximum);
};
