#pragma once

#include "flow_graph.h"

#include <QString>
#include <QStringList>

// The words of a box of the flow map, the same in the window and in its pictures.
namespace FlowBoxText {

// "Dialog12  Player", "Dialog12  choice", or for a folded branch "Dialog9-Dialog13, 5 dialogs".
QString heading(const FlowGraph::Box &box);
// The lines under the heading: the text's first line, a choice's answers, or the answer a
// folded branch stands under.
QStringList lines(const FlowGraph::Box &box);
// The box's tool tip: the whole text (a choice's answers) and its Set, Call and Delete actions.
QString tip(const FlowGraph::Box &box);
// The number shown when words are too small to read: "12", or "9-13" for a folded branch.
QString number(const FlowGraph::Box &box);

} // namespace FlowBoxText
