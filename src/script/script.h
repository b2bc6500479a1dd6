#pragma once

#include "persistence/dlg_file.h"
#include "persistence/dlg_record.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <vector>

// One line of a script and what it stands for.
struct ScriptEntry
{
    enum Kind : quint8 {
        TextDialog,   // [DialogN ]Player: text, [DialogN ]Entity: text
        ChoiceDialog, // [DialogN ]choice
        Answer,       // C. text
        Action,       // Set, Call, Goto or Delete in the stored form
        Config,       // Config = path, the only child of the Root
        Node,         // | text: one node as stored
        WholeTree,    // @tree: no Root stands before the lines
        Size,         // @size WIDTHxHEIGHT: the tree view's size the file stores
    };

    Kind kind = Node;
    int level = 0; // the indentation, two blanks per level
    int label = 0; // the N of "DialogN" that the line carries; 0 for none
    int line = 0;  // 1-based, blank lines counted
    // Where the line's nodes begin in the tree's pre-order: the node the line names, then the
    // nodes the line says without lines of their own (a text dialog's type, speaker and text;
    // an answer's text).
    int firstNode = 0;
    QByteArray text; // the whole line, indentation included, in the code page
};

// What keeps text from being an action line, one level below a text dialog, in the check's
// words; empty when it is one.
QString actionLineProblem(const QByteArray &text);

// What is wrong with a line.
struct ScriptError
{
    int line = 0;
    QString reason;
};

// A conversation script: its lines, and the tree they stand for. The writer gives the lines of
// a tree; the parser gives both, or the errors that keep the script from standing for a tree.
struct Script
{
    std::vector<ScriptEntry> entries;
    // The nodes in pre-order; the parser fills them, the writer leaves them to the tree it read.
    DlgRecordList nodes;
    int nodeCount = 0;
    // The first node is a Root that no line stands for.
    bool impliedRoot = true;
    // A dialog line carries no label: the dialogs are numbered by their place.
    bool unlabelled = false;
    // The size of the tree view that the file stores with the nodes.
    DlgFile::ViewSize viewSize;
    std::vector<ScriptError> errors;

    // How many nodes the entry stands for.
    int nodesOf(size_t entry) const
    {
        const int end = entry + 1 < entries.size() ? entries[entry + 1].firstNode : nodeCount;
        return end - entries[entry].firstNode;
    }
    // For each label, the first entry that carries it.
    QHash<int, int> carriers() const;
    // For each node, the entry that stands for it; -1 for the implied Root.
    std::vector<int> entryOfNodes() const;
    // Every line, each ending in a line feed.
    QByteArray text() const;
};
