#pragma once

#include <QByteArray>

class FlowGraph;
class FlowLayout;

// The flow map as text for other programs. Both forms are a contract for scripts:
// - SVG: each dialog is a <g class="dialog text"> or <g class="dialog choice"> with
//   id="dialogN" (a folded branch: "dialog folded"); each arrow a
//   <g class="edge next|answer|goto|broken"> with data-from="N" and data-to="M" (dialog numbers;
//   no data-to on a broken one), an answer's also data-choice="C"; each end of the conversation
//   a <g class="end"> with data-from="N", after an answer also data-choice="C". A dialog's
//   action marks are <g class="mark set|call|delete"> inside its group.
// - DOT: a digraph whose dialogs are the nodes dN, each edge with kind=next|answer|goto|broken;
//   a broken edge ends in a point node brokenK.
// Texts are written as UTF-8.
namespace FlowExport {

QByteArray svg(const FlowGraph &graph, const FlowLayout &layout);
QByteArray dot(const FlowGraph &graph);

} // namespace FlowExport
