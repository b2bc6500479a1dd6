#include "script_parser.h"

#include "document/action_reference.h"
#include "document/node_text.h"
#include "document/tree_listing.h"
#include "persistence/dlg_listing.h"
#include "persistence/dlg_reader.h"
#include "platform/ansi.h"
#include "script_line.h"

#include <QList>
#include <algorithm>
#include <limits>

namespace {

using Kind = ScriptEntry::Kind;

constexpr int kLargest = std::numeric_limits<int>::max();

// What one line says, before its place is looked at.
struct LineMeaning
{
    Kind kind = Kind::Node;
    int label = 0;
    QByteArray text;   // the node text (Action, Config, Node), the dialog's or answer's text
    QByteArray second; // the speaker of a text dialog
    int choice = 0;
    bool hasValues = false;
    DlgRecord values;
    QString problem;
};

QString dialogLineText()
{
    return QStringLiteral("a dialog line reads DialogN Player: text, DialogN Entity: text or "
                          "DialogN choice");
}

qsizetype digitsAt(const QByteArray &text, qsizetype from)
{
    qsizetype end = from;
    while (end < text.size() && text[end] >= '0' && text[end] <= '9')
        ++end;
    return end - from;
}

// "Word:" at the start of text, as a speaker would stand.
bool looksSpoken(const QByteArray &text)
{
    const qsizetype blank = text.indexOf(' ');
    const QByteArray word = blank < 0 ? text : text.left(blank);
    return word.size() > 1 && word.endsWith(':');
}

// The text after a colon or a point that ends a line's head: nothing, or one blank and the text.
bool restAfter(const QByteArray &text, qsizetype at, QByteArray *rest)
{
    if (at == text.size()) {
        rest->clear();
        return true;
    }
    if (text[at] != ' ')
        return false;
    *rest = text.mid(at + 1);
    return true;
}

bool readNumber(const QByteArray &field, bool signedAllowed, qint64 low, qint64 high, qint64 *value)
{
    const qsizetype start = signedAllowed && field.startsWith('-') ? 1 : 0;
    if (field.size() <= start || field.size() > 11 ||
        digitsAt(field, start) != field.size() - start)
        return false;
    bool ok = false;
    *value = field.toLongLong(&ok);
    return ok && *value >= low && *value <= high;
}

void readNodeLine(const QByteArray &content, LineMeaning &meaning)
{
    meaning.kind = Kind::Node;
    const QString form =
        QStringLiteral("a node line reads | text or |image,selected,state,overlay,data| text");
    qsizetype textAt = 2;
    if (content.size() < 2 || content[1] != ' ') {
        const qsizetype bar = content.indexOf('|', 1);
        if (bar < 0 || bar + 1 >= content.size() || content[bar + 1] != ' ') {
            meaning.problem = form;
            return;
        }
        const QList<QByteArray> fields = content.mid(1, bar - 1).split(',');
        qint64 numbers[5] = {};
        constexpr qint64 low = std::numeric_limits<qint32>::min();
        constexpr qint64 high = std::numeric_limits<qint32>::max();
        bool ok = fields.size() == 5;
        for (qsizetype i = 0; ok && i < 5; ++i)
            ok =
                readNumber(fields[i], i < 4, i < 4 ? low : 0,
                           i < 4 ? high : qint64(std::numeric_limits<quint32>::max()), &numbers[i]);
        if (!ok) {
            meaning.problem = form;
            return;
        }
        meaning.hasValues = true;
        meaning.values.image = qint32(numbers[0]);
        meaning.values.selected = qint32(numbers[1]);
        meaning.values.state = qint32(numbers[2]);
        meaning.values.overlay = qint32(numbers[3]);
        meaning.values.data = quint32(numbers[4]);
        textAt = bar + 2;
    }
    std::optional<QByteArray> text = TreeListing::parseListedText(content.mid(textAt));
    if (!text)
        meaning.problem = QStringLiteral("the quoted text holds an unknown escape");
    else
        meaning.text = std::move(*text);
}

// A dialog line after its label, if any.
bool readDialog(const QByteArray &body, LineMeaning &meaning)
{
    if (body == "choice") {
        meaning.kind = Kind::ChoiceDialog;
        return true;
    }
    if (!body.startsWith("Player:") && !body.startsWith("Entity:"))
        return false;
    meaning.kind = Kind::TextDialog;
    meaning.second = body.left(6);
    if (!restAfter(body, 7, &meaning.text))
        meaning.problem = QStringLiteral("one blank follows the speaker's colon, then the text");
    return true;
}

LineMeaning readContent(const QByteArray &content)
{
    LineMeaning meaning;
    if (content.startsWith('@')) {
        meaning.problem = content == ScriptLine::wholeTree()
                              ? QStringLiteral("@tree stands alone on the first line")
                              : QStringLiteral("a document line reads @tree or @size "
                                               "WIDTHxHEIGHT");
        return meaning;
    }
    if (content.startsWith('|')) {
        readNodeLine(content, meaning);
        meaning.label = 0;
        return meaning;
    }
    if (content.startsWith("Config = ")) {
        meaning.kind = Kind::Config;
        meaning.text = content;
        return meaning;
    }
    if (content.startsWith("Dialog") && digitsAt(content, 6) > 0) {
        const qsizetype end = 6 + digitsAt(content, 6);
        meaning.label =
            ActionReference::parseNumber(QByteArrayView(content).sliced(6, end - 6), kLargest);
        if (end >= content.size() || content[end] != ' ') {
            meaning.problem = dialogLineText();
        } else if (meaning.label == 0) {
            meaning.problem =
                QStringLiteral("a dialog's number is a whole number from 1, without leading zeros");
        } else if (const QByteArray body = content.mid(end + 1); !readDialog(body, meaning)) {
            meaning.problem = looksSpoken(body) ? QStringLiteral("a speaker is Player or Entity")
                                                : dialogLineText();
        }
        return meaning;
    }
    if (readDialog(content, meaning))
        return meaning;
    if (const qsizetype digits = digitsAt(content, 0); digits > 0) {
        meaning.kind = Kind::Answer;
        meaning.choice =
            ActionReference::parseNumber(QByteArrayView(content).first(digits), kLargest);
        if (meaning.choice == 0 || digits >= content.size() || content[digits] != '.' ||
            !restAfter(content, digits + 1, &meaning.text))
            meaning.problem =
                QStringLiteral("an answer reads C. text, C a whole number from 1 without leading "
                               "zeros");
        return meaning;
    }
    if (NodeText::isAction(content)) {
        meaning.kind = Kind::Action;
        meaning.text = content;
        meaning.problem = actionLineProblem(content);
        return meaning;
    }
    meaning.problem = looksSpoken(content)
                          ? QStringLiteral("a speaker is Player or Entity")
                          : QStringLiteral("the line is no dialog (Player: text, Entity: text, "
                                           "choice), answer (C. text), action (Set, Call, Goto, "
                                           "Delete), Config = path or node line (| text)");
    return meaning;
}

bool isDialogKind(Kind kind)
{
    return kind == Kind::TextDialog || kind == Kind::ChoiceDialog;
}

class Parser
{
public:
    Script parse(QStringView text)
    {
        // A byte order mark that an editor put before the first line is no part of it.
        qsizetype start = text.startsWith(QChar(0xFEFF)) ? 1 : 0;
        for (int number = 1; start <= text.size(); ++number) {
            qsizetype end = text.indexOf(u'\n', start);
            if (end < 0)
                end = text.size();
            QStringView line = text.sliced(start, end - start);
            if (line.endsWith(u'\r'))
                line.chop(1);
            readLine(line, number);
            start = end + 1;
        }
        if (m_firstLine)
            addRoot();
        for (const size_t i : m_grammarImages)
            m_script.nodes[i].image = DlgListing::grammarImage(m_script.nodes, i);
        m_script.nodeCount = int(m_script.nodes.size());
        return std::move(m_script);
    }

private:
    void fail(int line, const QString &reason) { m_script.errors.push_back({line, reason}); }

    void addRoot()
    {
        DlgRecord root;
        root.image = 3;
        root.text = NodeText::root();
        m_script.nodes.push_back(std::move(root));
    }

    void readLine(QStringView line, int number)
    {
        qsizetype blanks = 0;
        while (blanks < line.size() && line[blanks] == u' ')
            ++blanks;
        if (blanks == line.size() || line.trimmed().isEmpty())
            return;
        const qsizetype errorsBefore = m_script.errors.size();
        int level = int(blanks / 2);
        if (line[blanks] == u'\t')
            fail(number,
                 QStringLiteral("the indentation holds a tab; indent with two blanks per level"));
        else if (blanks % 2 != 0)
            fail(number, QStringLiteral("the indentation is not two blanks per level"));
        if (level > m_previousLevel + 1) {
            fail(number,
                 QStringLiteral("the line is indented more than one level below the line before"));
            level = m_previousLevel + 1;
        }
        m_previousLevel = level;

        ScriptEntry entry;
        entry.level = level;
        entry.line = number;
        // Most lines are plain ASCII, which the code page holds as it is.
        if (std::all_of(line.begin(), line.end(), [](QChar c) { return c.unicode() < 0x80; })) {
            entry.text = line.toLatin1();
        } else {
            const QString owned = line.toString();
            const QString lacking = Ansi::firstUnrepresentable(owned);
            if (!lacking.isEmpty())
                fail(number, Ansi::unrepresentableText(lacking));
            entry.text = Ansi::fromUnicode(owned);
        }
        const QByteArray content = entry.text.mid(blanks);
        const bool first = m_firstLine;
        m_firstLine = false;
        if (first && level == 0 && content == ScriptLine::wholeTree() &&
            m_script.errors.size() == errorsBefore) {
            m_script.impliedRoot = false;
            entry.kind = Kind::WholeTree;
            m_script.entries.push_back(std::move(entry));
            m_previousLevel = -1;
            return;
        }
        if (first)
            addRoot();
        if (m_sized)
            fail(number, sizeLast());
        if (content.startsWith("@size ")) {
            readSize(entry, content.mid(6));
            return;
        }

        LineMeaning meaning = readContent(content);
        if (meaning.problem.isEmpty())
            meaning.problem = placeProblem(meaning.kind, level, first);
        if (!meaning.problem.isEmpty())
            fail(number, meaning.problem);
        if (meaning.kind == Kind::Node && NodeText::isDialog(meaning.text))
            meaning.label =
                ActionReference::parseNumber(QByteArrayView(meaning.text).sliced(6), kLargest);
        entry.kind = meaning.kind;
        entry.label = meaning.label;
        entry.firstNode = int(m_script.nodes.size());
        if (m_script.errors.size() == errorsBefore)
            addNodes(entry, meaning);
        m_open.resize(size_t(level));
        m_open.push_back(entry.kind);
        m_script.entries.push_back(std::move(entry));
    }

    static QString sizeLast()
    {
        return QStringLiteral("@size WIDTHxHEIGHT stands on the last line");
    }

    void readSize(ScriptEntry &entry, const QByteArray &size)
    {
        constexpr qint64 low = std::numeric_limits<qint32>::min();
        constexpr qint64 high = std::numeric_limits<qint32>::max();
        const qsizetype x = size.indexOf('x', 1);
        qint64 width = 0;
        qint64 height = 0;
        if (entry.level > 0)
            fail(entry.line, sizeLast());
        else if (x < 0 || !readNumber(size.left(x), true, low, high, &width) ||
                 !readNumber(size.mid(x + 1), true, low, high, &height))
            fail(entry.line, QStringLiteral("a size reads @size WIDTHxHEIGHT, e.g. @size 473x553"));
        m_script.viewSize = {int(width), int(height)};
        m_sized = true;
        entry.kind = Kind::Size;
        entry.firstNode = int(m_script.nodes.size());
        m_script.entries.push_back(std::move(entry));
    }

    QString placeProblem(Kind kind, int level, bool first) const
    {
        if (kind == Kind::Config) {
            return first && level == 0 && m_script.impliedRoot
                       ? QString()
                       : QStringLiteral("Config = path stands on the first line, before every "
                                        "dialog; under @tree it is a node line, | Config = path");
        }
        if (kind == Kind::Node)
            return level > 0 && m_open[size_t(level) - 1] == Kind::Config ? underConfig()
                                                                          : QString();
        if (level == 0) {
            return isDialogKind(kind)
                       ? QString()
                       : QStringLiteral("after Root the top level holds only dialogs");
        }
        switch (m_open[size_t(level) - 1]) {
        case Kind::TextDialog:
            return kind == Kind::Action ? QString()
                                        : QStringLiteral("after its text a text dialog holds only "
                                                         "actions: Set, Call, Goto or Delete");
        case Kind::ChoiceDialog:
            return kind == Kind::Answer
                       ? QString()
                       : QStringLiteral("a choice dialog holds only answers, C. text");
        case Kind::Answer:
            return isDialogKind(kind)
                       ? QString()
                       : QStringLiteral("after its text an answer holds only dialogs");
        case Kind::Action:
            return QStringLiteral("nothing but node lines (| text) may stand under an action");
        case Kind::Config:
            return underConfig();
        case Kind::Node:
        case Kind::WholeTree:
        case Kind::Size:
            break;
        }
        return QString();
    }

    static QString underConfig() { return QStringLiteral("nothing may stand under Config = path"); }

    void addNodes(const ScriptEntry &entry, const LineMeaning &meaning)
    {
        const int level = entry.level;
        const auto add = [this, &entry](int at, const QByteArray &text, qint32 image = 0) {
            if (at > DlgReader::kDeepestLevel) {
                fail(entry.line, DlgReader::tooDeepText());
                return false;
            }
            DlgRecord record;
            record.level = at;
            record.image = image;
            record.text = text;
            m_script.nodes.push_back(std::move(record));
            return true;
        };
        const auto label = [&entry] {
            return entry.label > 0 ? NodeText::dialog(entry.label) : QByteArrayLiteral("Dialog");
        };
        static const QByteArray player = NodeText::speaker("Player");
        static const QByteArray entity = NodeText::speaker("Entity");
        switch (meaning.kind) {
        case Kind::TextDialog:
            m_script.unlabelled = m_script.unlabelled || entry.label == 0;
            add(level, label(), 1);
            add(level + 1, NodeText::typeText());
            add(level + 1, meaning.second == "Player" ? player : entity);
            add(level + 1, NodeText::text(meaning.text));
            break;
        case Kind::ChoiceDialog:
            m_script.unlabelled = m_script.unlabelled || entry.label == 0;
            add(level, label(), 2);
            break;
        case Kind::Answer:
            add(level, NodeText::choice(QByteArray::number(meaning.choice)));
            add(level + 1, NodeText::text(meaning.text));
            break;
        case Kind::Action:
            add(level, meaning.text);
            break;
        case Kind::Config:
            add(1, meaning.text);
            break;
        case Kind::Node:
            if (!add(level, meaning.text))
                break;
            if (meaning.hasValues) {
                DlgRecord &record = m_script.nodes.back();
                const QByteArray text = std::move(record.text);
                record = meaning.values;
                record.level = level;
                record.text = text;
            } else {
                m_grammarImages.push_back(m_script.nodes.size() - 1);
            }
            break;
        case Kind::WholeTree:
        case Kind::Size:
            break;
        }
    }

    Script m_script;
    // The kind of the line that stands on each level on the way down to the line at hand.
    std::vector<Kind> m_open;
    std::vector<size_t> m_grammarImages;
    int m_previousLevel = -1;
    bool m_firstLine = true;
    bool m_sized = false;
};

} // namespace

namespace ScriptParser {

Script parse(QStringView text)
{
    return Parser().parse(text);
}

} // namespace ScriptParser
