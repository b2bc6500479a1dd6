#include "script_writer.h"

#include "document/action_reference.h"
#include "document/node_text.h"
#include "document/tree_listing.h"
#include "persistence/dlg_listing.h"
#include "script_line.h"

#include <limits>

namespace {

using Kind = ScriptEntry::Kind;

bool hasValues(const DlgRecord &record, qint32 image)
{
    return record.image == image && record.selected == 0 && record.state == -1 &&
           record.overlay == -1 && record.data == 0;
}

// A leaf at level whose record is that of an ordinary node.
bool plainLeaf(const DlgRecordList &records, size_t i, int level)
{
    return i < records.size() && records[i].level == level && hasValues(records[i], 0) &&
           (i + 1 >= records.size() || records[i + 1].level <= level);
}

int labelOf(const QByteArray &text)
{
    if (!NodeText::isDialog(text))
        return 0;
    return ActionReference::parseNumber(QByteArrayView(text).sliced(6),
                                        std::numeric_limits<int>::max());
}

// The value after keyword when text is keyword + a value a line can show.
bool lineValue(const QByteArray &text, const char *keyword, QByteArray *value)
{
    if (!text.startsWith(keyword) || TreeListing::holdsControl(text))
        return false;
    *value = text.mid(qsizetype(qstrlen(keyword)));
    return true;
}

class Writer
{
public:
    explicit Writer(const DlgRecordList &records) : m_records(records) {}

    Script write(DlgFile::ViewSize size)
    {
        m_script.nodeCount = int(m_records.size());
        size_t i = 0;
        if (const int implied = impliedRootNodes(); implied > 0) {
            if (implied == 2)
                add(Kind::Config, 0, 1, m_records[1].text);
            i = size_t(implied);
        } else {
            m_script.impliedRoot = false;
            add(Kind::WholeTree, 0, 0, ScriptLine::wholeTree());
        }
        while (i < m_records.size())
            i += writeLine(i);
        if (size.width != DlgFile::ViewSize().width || size.height != DlgFile::ViewSize().height) {
            add(Kind::Size, 0, m_records.size(), ScriptLine::size(size));
            m_script.viewSize = size;
        }
        return std::move(m_script);
    }

private:
    // The Root that goes without a line, and its configuration node: how many nodes they are
    // (1 or 2), or 0 when the tree does not begin so.
    int impliedRootNodes() const
    {
        if (m_records.empty() || !NodeText::isRoot(m_records[0].text) ||
            !hasValues(m_records[0], 3))
            return 0;
        if (m_records.size() == 1 || m_records[1].level == 0)
            return 1;
        QByteArray path;
        if (lineValue(m_records[1].text, "Config = ", &path) && plainLeaf(m_records, 1, 1) &&
            (m_records.size() == 2 || m_records[2].level == 0))
            return 2;
        return 0;
    }

    // Writes the line of the node at i; returns how many nodes it stands for.
    size_t writeLine(size_t i)
    {
        const DlgRecord &record = m_records[i];
        const int level = record.level;
        m_open.resize(size_t(level));
        const Kind parent = level == 0 ? Kind::Node : m_open.back();
        // What a line may be under its parent's line: the top level takes dialogs, as an answer
        // does; a node line takes every compact line.
        const bool dialogs = level == 0 || parent == Kind::Answer || parent == Kind::Node;
        const bool answers = level > 0 && (parent == Kind::ChoiceDialog || parent == Kind::Node);
        const bool actions = level > 0 && (parent == Kind::TextDialog || parent == Kind::Node);

        const int label = labelOf(record.text);
        QByteArray value;
        if (dialogs && label > 0 && hasValues(record, 1) && i + 3 < m_records.size() &&
            m_records[i + 1].text == NodeText::typeText() &&
            plainLeaf(m_records, i + 1, level + 1) &&
            (m_records[i + 2].text == "Speaker = Player" ||
             m_records[i + 2].text == "Speaker = Entity") &&
            plainLeaf(m_records, i + 2, level + 1) &&
            lineValue(m_records[i + 3].text, "Text = ", &value) &&
            plainLeaf(m_records, i + 3, level + 1)) {
            const QByteArray speaker = m_records[i + 2].text.mid(10);
            add(Kind::TextDialog, level, i, ScriptLine::textDialog(label, speaker, value), label);
            return 4;
        }
        if (dialogs && label > 0 && hasValues(record, 2)) {
            add(Kind::ChoiceDialog, level, i, ScriptLine::choiceDialog(label), label);
            return 1;
        }
        if (answers && hasValues(record, 0) && record.text.startsWith("Choice = ") &&
            i + 1 < m_records.size() && lineValue(m_records[i + 1].text, "Text = ", &value) &&
            plainLeaf(m_records, i + 1, level + 1)) {
            const int choice = ActionReference::parseNumber(QByteArrayView(record.text).sliced(9),
                                                            std::numeric_limits<int>::max());
            if (choice > 0) {
                add(Kind::Answer, level, i, ScriptLine::answer(choice, value));
                return 2;
            }
        }
        if (actions && hasValues(record, 0) && NodeText::isAction(record.text) &&
            !TreeListing::holdsControl(record.text) && actionLineProblem(record.text).isEmpty()) {
            add(Kind::Action, level, i, record.text);
            return 1;
        }
        const bool usual = hasValues(record, DlgListing::grammarImage(m_records, i));
        add(Kind::Node, level, i, ScriptLine::node(record.text, usual ? nullptr : &record), label);
        return 1;
    }

    void add(Kind kind, int level, size_t first, const QByteArray &line, int label = 0)
    {
        ScriptEntry entry;
        entry.kind = kind;
        entry.level = level;
        entry.label = label;
        entry.line = int(m_script.entries.size()) + 1;
        entry.firstNode = int(first);
        entry.text = QByteArray(qsizetype(2) * level, ' ') + line;
        m_script.entries.push_back(std::move(entry));
        if (kind != Kind::Config && kind != Kind::WholeTree && kind != Kind::Size)
            m_open.push_back(kind);
    }

    const DlgRecordList &m_records;
    Script m_script;
    // The kind of line that stands for each node on the way down to the node at hand.
    std::vector<Kind> m_open;
};

} // namespace

namespace ScriptWriter {

Script write(const DlgRecordList &records, DlgFile::ViewSize size)
{
    return Writer(records).write(size);
}

} // namespace ScriptWriter
