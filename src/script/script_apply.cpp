#include "script_apply.h"

#include "document/action_reference.h"
#include "document/dialog_numbers.h"
#include "document/dialog_tree.h"
#include "document/node_text.h"
#include "line_diff.h"
#include "persistence/dlg_writer.h"
#include "script_writer.h"

#include <QHash>
#include <QSet>
#include <algorithm>

namespace {

using Kind = ScriptEntry::Kind;

bool isDialogLine(Kind kind)
{
    return kind == Kind::TextDialog || kind == Kind::ChoiceDialog;
}

// For each line of the script, the line of the tree's script whose nodes it takes over, or -1.
std::vector<int> matchLines(const Script &base, const Script &script)
{
    QHash<QByteArray, int> table;
    std::vector<QByteArray> lines;
    lines.reserve(base.entries.size());
    for (const ScriptEntry &entry : base.entries)
        lines.push_back(entry.text);
    const std::vector<int> before = LineDiff::numbered(lines, table);
    lines.clear();
    for (const ScriptEntry &entry : script.entries)
        lines.push_back(entry.text);
    const std::vector<int> common = LineDiff::match(before, LineDiff::numbered(lines, table));
    std::vector<int> matched = common;

    // A changed or moved line that carries a label keeps its label's dialog, wherever it went.
    std::vector<bool> taken(base.entries.size(), false);
    for (const int b : matched) {
        if (b >= 0)
            taken[size_t(b)] = true;
    }
    QHash<int, std::vector<int>> labelled;
    QSet<int> carried;
    for (size_t b = base.entries.size(); b-- > 0;) {
        if (base.entries[b].label > 0 && !taken[b])
            labelled[base.entries[b].label].push_back(int(b));
    }
    for (size_t a = 0; a < matched.size(); ++a) {
        const ScriptEntry &entry = script.entries[a];
        if (entry.label == 0)
            continue;
        carried.insert(entry.label);
        std::vector<int> &candidates = labelled[entry.label];
        if (matched[a] < 0 && !candidates.empty() &&
            base.entries[size_t(candidates.back())].kind == entry.kind) {
            matched[a] = candidates.back();
            taken[size_t(candidates.back())] = true;
            candidates.pop_back();
        }
    }
    // Any other line within a run of changed lines takes the next untaken line of its kind
    // there, a dialog line without a label also a dialog whose label no line carries.
    for (const LineDiff::Hunk &hunk : LineDiff::hunks(common, int(base.entries.size()))) {
        for (int a = hunk.afterBegin; a < hunk.afterEnd; ++a) {
            const ScriptEntry &entry = script.entries[size_t(a)];
            if (entry.label > 0 || matched[size_t(a)] >= 0)
                continue;
            for (int b = hunk.beforeBegin; b < hunk.beforeEnd; ++b) {
                const ScriptEntry &old = base.entries[size_t(b)];
                if (!taken[size_t(b)] && old.kind == entry.kind &&
                    (old.label == 0 || (isDialogLine(old.kind) && !carried.contains(old.label)))) {
                    taken[size_t(b)] = true;
                    matched[size_t(a)] = b;
                    break;
                }
            }
        }
    }
    return matched;
}

bool sameValues(const DialogNode *node, const DlgRecord &record)
{
    return node->imageIndex() == record.image && node->selectedIndex() == record.selected &&
           node->stateIndex() == record.state && node->overlayIndex() == record.overlay &&
           node->data() == record.data;
}

class Apply
{
public:
    Apply(DialogTree &tree, const Script &script) : m_tree(tree), m_script(script) {}

    std::vector<ScriptError> run()
    {
        const Script base = ScriptWriter::write(DlgWriter::records(m_tree));
        const std::vector<int> matched = matchLines(base, m_script);
        m_owners = m_script.entryOfNodes();

        m_existing.assign(m_script.nodes.size(), nullptr);
        if (m_script.impliedRoot && base.impliedRoot && m_tree.count() > 0)
            m_existing[0] = m_tree.nodeAt(0);
        std::vector<int> matchedBy(base.entries.size(), -1);
        for (size_t e = 0; e < matched.size(); ++e) {
            if (matched[e] < 0)
                continue;
            matchedBy[size_t(matched[e])] = int(e);
            const int from = base.entries[size_t(matched[e])].firstNode;
            for (int k = 0; k < m_script.nodesOf(e); ++k)
                m_existing[size_t(m_script.entries[e].firstNode + k)] = m_tree.nodeAt(from + k);
        }
        std::vector<ScriptError> errors = resolveReferences(base, matchedBy);
        if (errors.empty())
            change();
        return errors;
    }

private:
    // Which dialog each goto and delete action of the script names: the node of that dialog's
    // line. Every number is looked up before anything changes.
    std::vector<ScriptError> resolveReferences(const Script &base,
                                               const std::vector<int> &matchedBy)
    {
        const QHash<int, int> before = base.carriers();
        const QHash<int, int> now = m_script.carriers();
        std::vector<ScriptError> errors;
        for (size_t i = 0; i < m_script.nodes.size(); ++i) {
            const ActionReference reference = ActionReference::parse(m_script.nodes[i].text);
            if (reference.kind == ActionReference::None || reference.dialog == 0)
                continue;
            int line = -1;
            const auto old = before.constFind(reference.dialog);
            if (old != before.cend() && matchedBy[size_t(*old)] >= 0)
                line = matchedBy[size_t(*old)];
            else if (const auto found = now.constFind(reference.dialog); found != now.cend())
                line = *found;
            else if (old != before.cend())
                errors.push_back(
                    {m_script.entries[size_t(m_owners[i])].line,
                     QStringLiteral("names Dialog%1, whose line is gone; point it at another "
                                    "dialog or remove it")
                         .arg(reference.dialog)});
            if (line >= 0)
                m_references.push_back({i, size_t(m_script.entries[size_t(line)].firstNode)});
        }
        return errors;
    }

    void change()
    {
        const DlgRecordList &nodes = m_script.nodes;
        std::vector<DialogNode *> placed(nodes.size(), nullptr);
        // The next row of each placed node's children; the top level's last.
        std::vector<int> nextRow(nodes.size() + 1, 0);
        const size_t top = nodes.size();
        std::vector<size_t> open;
        bool reshaped = false;
        bool relabelled = false;
        for (size_t t = 0; t < nodes.size(); ++t) {
            const DlgRecord &record = nodes[t];
            open.resize(size_t(record.level));
            const size_t parentAt = open.empty() ? top : open.back();
            DialogNode *parent = open.empty() ? nullptr : placed[parentAt];
            const int row = nextRow[parentAt]++;
            DialogNode *node = m_existing[t];
            if (node) {
                if (node->parent() != parent || node->row() != row) {
                    m_tree.move(node, parent, row);
                    reshaped = true;
                }
                // A dialog line's label names its dialog; the numbering gives the node's.
                if (!isDialogHead(t) && node->text() != record.text) {
                    m_tree.setText(node, record.text);
                    relabelled = relabelled || NodeText::isDialogForNumbering(record.text);
                }
            } else {
                node = m_tree.addChild(parent, record.text);
                if (node->row() != row)
                    m_tree.move(node, parent, row);
                reshaped = true;
            }
            if (!sameValues(node, record))
                m_tree.setRecord(node, record.image, record.selected, record.state, record.overlay,
                                 record.data);
            placed[t] = node;
            open.push_back(t);
        }

        // What no line kept: the children after the placed ones.
        std::vector<DialogNode *> gone;
        for (int row = m_tree.topLevelCount() - 1; row >= nextRow[top]; --row)
            gone.push_back(m_tree.topLevel(row));
        for (size_t t = 0; t < nodes.size(); ++t) {
            for (int row = placed[t]->childCount() - 1; row >= nextRow[t]; --row)
                gone.push_back(placed[t]->child(row));
        }
        for (DialogNode *node : gone)
            m_tree.remove(node);
        if (reshaped || relabelled || !gone.empty())
            m_tree.renumberDialogs();

        for (const auto &[action, dialog] : m_references) {
            ActionReference reference = ActionReference::parse(nodes[action].text);
            reference.dialog = DialogNumbers::numberOf(placed[dialog]);
            if (reference.dialog > 0)
                m_tree.setText(placed[action], reference.text());
        }
        m_tree.settleReferences();
    }

    bool isDialogHead(size_t node) const
    {
        const int owner = m_owners[node];
        if (owner < 0)
            return false;
        const ScriptEntry &entry = m_script.entries[size_t(owner)];
        return isDialogLine(entry.kind) && size_t(entry.firstNode) == node;
    }

    DialogTree &m_tree;
    const Script &m_script;
    std::vector<int> m_owners;
    std::vector<DialogNode *> m_existing;
    // An action node of the script and the head node of the dialog it names.
    std::vector<std::pair<size_t, size_t>> m_references;
};

} // namespace

namespace ScriptApply {

std::vector<ScriptError> apply(DialogTree &tree, const Script &script)
{
    return Apply(tree, script).run();
}

} // namespace ScriptApply
