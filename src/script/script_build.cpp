#include "script_build.h"

#include "document/action_reference.h"
#include "document/node_text.h"

#include <QHash>

namespace {

constexpr qsizetype kLongestText = 255;

} // namespace

namespace ScriptBuild {

DlgRecordList storedNodes(Script &script)
{
    DlgRecordList nodes = std::move(script.nodes);
    script.nodes.clear();
    const std::vector<int> owners = script.entryOfNodes();
    for (size_t i = 0; i < nodes.size(); ++i) {
        if (nodes[i].text.size() > kLongestText && owners[i] >= 0)
            script.errors.push_back(
                {script.entries[size_t(owners[i])].line,
                 QStringLiteral("the text is longer than the 255 bytes a node holds")});
    }
    if (!script.unlabelled)
        return nodes;

    // The place of each dialog in the editor's count, and of each line's label.
    std::vector<int> places(nodes.size(), 0);
    int count = 0;
    for (size_t i = 0; i < nodes.size(); ++i) {
        if (NodeText::isDialogForNumbering(nodes[i].text)) {
            places[i] = ++count;
            nodes[i].text = NodeText::dialog(count);
        }
    }
    const QHash<int, int> carriers = script.carriers();
    for (DlgRecord &node : nodes) {
        ActionReference reference = ActionReference::parse(node.text);
        if (reference.kind == ActionReference::None || reference.dialog == 0)
            continue;
        if (const auto found = carriers.constFind(reference.dialog); found != carriers.cend()) {
            reference.dialog = places[size_t(script.entries[size_t(*found)].firstNode)];
            node.text = reference.text();
        }
    }
    return nodes;
}

} // namespace ScriptBuild
