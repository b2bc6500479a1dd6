#include "dialog_check.h"

#include "config_node.h"
#include "dialog_numbers.h"
#include "dialog_tree.h"
#include "node_text.h"
#include "platform/ansi.h"
#include "platform/bounded_file.h"
#include "reading_reach.h"
#include "variable_value.h"

#include <limits>
#include <set>

namespace {

// Longer texts are cut to this many characters when saved.
constexpr int kStoredTextLimit = 255;

enum class Kind {
    Root,
    Config,
    Dialog,
    Type,
    Speaker,
    Text,
    Choice,
    Set,
    Call,
    Goto,
    Delete,
    Unknown
};

// What may stand among the children of a node of each kind.
enum class Place : quint8 {
    Top,
    RootChild,
    TextDialogChild,
    ChoiceDialogChild,
    ChoiceChild,
    Leaf,
    Free
};

// The number of a dialog label, "Dialog" + number; 0 for any other text.
int dialogNumber(const QByteArray &text)
{
    if (!text.startsWith("Dialog"))
        return 0;
    return ActionReference::parseNumber(QByteArrayView(text).sliced(6),
                                        std::numeric_limits<int>::max());
}

bool isVariableOperation(const QByteArray &text)
{
    if (!text.startsWith("Set "))
        return false;
    const int blank = text.indexOf(' ', 4);
    if (blank < 0)
        return false;
    const QByteArray type = text.mid(4, blank - 4);
    if (type != "Short" && type != "Float" && type != "String")
        return false;
    // The name may hold blanks and even " = "; a value of a number type never does.
    const int equals = text.lastIndexOf(" = ");
    return equals >= blank && valueFitsType(text.mid(equals + 3), type);
}

Kind classify(const QByteArray &text)
{
    // By the first letter first: the check classifies every node of a large tree.
    switch (text.isEmpty() ? '\0' : text.front()) {
    case 'R':
        return NodeText::isRoot(text) ? Kind::Root : Kind::Unknown;
    case 'T':
        if (text == NodeText::typeText())
            return Kind::Type;
        return text.startsWith("Text = ") ? Kind::Text : Kind::Unknown;
    case 'S':
        if (text == "Speaker = Player" || text == "Speaker = Entity")
            return Kind::Speaker;
        return isVariableOperation(text) ? Kind::Set : Kind::Unknown;
    case 'C':
        if (text.startsWith("Config = "))
            return Kind::Config;
        if (text.startsWith("Call = "))
            return Kind::Call;
        if (text.startsWith("Choice = ") &&
            ActionReference::parseNumber(text.mid(9), std::numeric_limits<int>::max()))
            return Kind::Choice;
        return Kind::Unknown;
    case 'D':
        if (dialogNumber(text))
            return Kind::Dialog;
        break;
    case 'G':
        break;
    default:
        return Kind::Unknown;
    }
    switch (ActionReference::parse(text).kind) {
    case ActionReference::Goto:
        return Kind::Goto;
    case ActionReference::DeleteDialog:
    case ActionReference::DeleteChoice:
        return Kind::Delete;
    case ActionReference::None:
        break;
    }
    return Kind::Unknown;
}

// Where the children of a node of kind stand; a dialog is a choice dialog when its first child
// (none: it has no children) begins with "Choice".
Place childPlace(Kind kind, const QByteArray *firstChild)
{
    switch (kind) {
    case Kind::Root:
        return Place::RootChild;
    case Kind::Dialog:
        return firstChild && NodeText::isChoice(*firstChild) ? Place::ChoiceDialogChild
                                                             : Place::TextDialogChild;
    case Kind::Choice:
        return Place::ChoiceChild;
    case Kind::Unknown:
        return Place::Free;
    default:
        return Place::Leaf;
    }
}

const QByteArray *firstChildText(const DialogNode *node)
{
    return node && node->firstChild() ? &node->firstChild()->text() : nullptr;
}

bool fits(Kind kind, Place place, int row)
{
    switch (place) {
    case Place::Top:
        return row == 0 ? kind == Kind::Root : kind == Kind::Dialog;
    case Place::RootChild:
        return row == 0 && kind == Kind::Config;
    case Place::TextDialogChild:
        if (row == 0)
            return kind == Kind::Type;
        if (row == 1)
            return kind == Kind::Speaker;
        if (row == 2)
            return kind == Kind::Text;
        return kind == Kind::Set || kind == Kind::Call || kind == Kind::Goto ||
               kind == Kind::Delete;
    case Place::ChoiceDialogChild:
        return kind == Kind::Choice;
    case Place::ChoiceChild:
        return row == 0 ? kind == Kind::Text : kind == Kind::Dialog;
    case Place::Leaf:
        return false;
    case Place::Free:
        return true;
    }
    return false;
}

// What a variable operation that breaks its grammar gets wrong.
QString variableProblem(const QByteArray &text)
{
    const int blank = text.indexOf(' ', 4);
    const int equals = text.lastIndexOf(" = ");
    if (blank < 0 || equals < blank)
        return QStringLiteral("a variable operation reads Set type name = value");
    const QByteArray type = text.mid(4, blank - 4);
    if (type == "Short")
        return QStringLiteral("a Short takes a whole number, digits only");
    if (type == "Float")
        return QStringLiteral("a Float takes digits with at most one point");
    return QStringLiteral("a variable type is Short, Float or String");
}

// What may stand at row among the children of parentText, which stand in place.
QString allowedAt(Place place, int row, const QByteArray &parentText)
{
    switch (place) {
    case Place::Top:
        return row == 0 ? QStringLiteral("the tree begins with Root")
                        : QStringLiteral("after Root the top level holds only dialogs");
    case Place::RootChild:
        return QStringLiteral("Root holds only the configuration node, Config = path");
    case Place::TextDialogChild:
        if (row == 0)
            return QStringLiteral("a text dialog begins with Type = Text");
        if (row == 1)
            return QStringLiteral("the second node of a text dialog is its speaker, Speaker = "
                                  "Player or Speaker = Entity");
        if (row == 2)
            return QStringLiteral("the third node of a text dialog is its text, Text = ...");
        return QStringLiteral("after its text a text dialog holds only actions: Set, Call, Goto "
                              "or Delete");
    case Place::ChoiceDialogChild:
        return QStringLiteral("a choice dialog holds only answers, Choice = N");
    case Place::ChoiceChild:
        return row == 0 ? QStringLiteral("an answer begins with its text, Text = ...")
                        : QStringLiteral("after its text an answer holds only dialogs");
    case Place::Leaf:
        return QStringLiteral("nothing may stand under ") + Ansi::toUnicode(parentText);
    case Place::Free:
        break;
    }
    return QString();
}

// Why text, of kind, cannot stand at row among the children of parentText, which stand in
// place: what is wrong, and what is allowed.
QString grammarProblem(Kind kind, Place place, int row, const QByteArray &text,
                       const QByteArray &parentText)
{
    // A text that begins as some kind of node but breaks that kind's grammar.
    if (kind == Kind::Unknown) {
        if (text.startsWith("Speaker = "))
            return QStringLiteral("a speaker is Player or Entity");
        if (text.startsWith("Set "))
            return variableProblem(text);
        if (text.startsWith("Goto"))
            return QStringLiteral("a goto reads Goto = N, N a dialog number from 1 to 9999");
        if (text.startsWith("Delete"))
            return QStringLiteral("a delete action reads Delete = N or Delete = C from N, "
                                  "numbers from 1 to 9999");
        if (text.startsWith("Choice"))
            return QStringLiteral("an answer reads Choice = N, N a whole number");
        if (text.startsWith("Type"))
            return QStringLiteral("a text dialog's type reads Type = Text");
    }
    return allowedAt(place, row, parentText);
}

// 1st, 2nd, 3rd, 4th, ..., 11th, 12th, 13th, ..., 21st.
QString ordinal(int n)
{
    const int lastTwo = n % 100;
    const int last = n % 10;
    const char *suffix = (lastTwo >= 11 && lastTwo <= 13) ? "th"
                         : last == 1                      ? "st"
                         : last == 2                      ? "nd"
                         : last == 3                      ? "rd"
                                                          : "th";
    return QString::number(n) + QLatin1String(suffix);
}

} // namespace

QString CheckFinding::line() const
{
    // A finding on the dialog node (or Root) itself names its place once.
    if (nodeText == dialog)
        return Ansi::toUnicode(dialog) + QStringLiteral(": ") + message;
    return Ansi::toUnicode(dialog) + QStringLiteral(": ") + Ansi::toUnicode(nodeText) +
           QStringLiteral(": ") + message;
}

namespace DialogCheck {

CheckFinding finding(const DialogNode *node, const QString &message)
{
    const DialogNode *dialog = node;
    while (dialog && !NodeText::isDialog(dialog->text()))
        dialog = dialog->parent();
    return {node, dialog ? dialog->text() : NodeText::root(), node ? node->text() : QByteArray(),
            message};
}

QString referenceProblem(const DialogNumbers &numbers, const DialogNode *dialog,
                         const ActionReference &reference)
{
    if (reference.kind == ActionReference::None)
        return QStringLiteral("a goto reads Goto = N, a delete action Delete = N or Delete = C "
                              "from N, numbers from 1 to 9999");
    if (reference.dialog == 0)
        return QStringLiteral("names no dialog: the dialog it named was deleted; point it at "
                              "another dialog or remove it");
    const DialogNode *target = numbers.find(reference.dialog);
    if (!target)
        return QStringLiteral("names Dialog%1, which does not exist").arg(reference.dialog);
    if (reference.kind == ActionReference::Goto && target == dialog)
        return QStringLiteral("goes to its own dialog");
    if (reference.kind == ActionReference::DeleteDialog && NodeText::isChoiceDialog(target))
        return QStringLiteral("Dialog%1 is a choice dialog; Delete = N takes a text dialog, "
                              "Delete = C from N removes one answer of a choice dialog")
            .arg(reference.dialog);
    if (reference.kind == ActionReference::DeleteChoice) {
        if (!NodeText::isChoiceDialog(target))
            return QStringLiteral("Dialog%1 is not a choice dialog").arg(reference.dialog);
        const int answers = numbers.choiceCount(target, reference.choice);
        if (answers == 0)
            return QStringLiteral("Dialog%1 has no choice %2")
                .arg(reference.dialog)
                .arg(reference.choice);
        if (answers > 1)
            return QStringLiteral("Dialog%1 has %2 answers numbered %3; the game cannot tell "
                                  "which one to remove")
                .arg(reference.dialog)
                .arg(answers)
                .arg(reference.choice);
    }
    return QString();
}

QString misfit(const QByteArray *parentText, const QByteArray *parentFirstChild, int row,
               const QByteArray &text)
{
    const Place place =
        parentText ? childPlace(classify(*parentText), parentFirstChild) : Place::Top;
    const Kind kind = classify(text);
    if (fits(kind, place, row))
        return QString();
    return grammarProblem(kind, place, row, text, parentText ? *parentText : QByteArray());
}

QString misfit(const DialogNode *parent, int row, const QByteArray &text)
{
    return misfit(parent ? &parent->text() : nullptr, firstChildText(parent), row, text);
}

QString missing(const QByteArray &text, const QByteArray *firstChild, int children)
{
    const Kind kind = classify(text);
    if (kind == Kind::Dialog && children == 0)
        return QStringLiteral("is a dialog without children");
    const Place place = childPlace(kind, firstChild);
    if ((place == Place::TextDialogChild && children < 3) ||
        (place == Place::ChoiceChild && children == 0))
        return allowedAt(place, children, text);
    return QString();
}

std::vector<CheckFinding> check(const DialogTree &tree)
{
    std::vector<CheckFinding> findings;
    const DialogNode *root = tree.firstNode();
    if (!root || !root->firstChild()) {
        findings.push_back(
            finding(root, QStringLiteral("the document names no configuration file")));
    } else {
        // Only looked at, never opened: a FIFO or a device counts as no configuration file.
        const BoundedFile::Result config = BoundedFile::probeRegular(
            Ansi::toUnicode(*ConfigNode::path(tree)), std::numeric_limits<qint64>::max());
        if (config.status == BoundedFile::Status::Missing ||
            config.status == BoundedFile::Status::NotRegular)
            findings.push_back(finding(root->firstChild(),
                                       QStringLiteral("the configuration file does not exist")));
        else if (!config.ok())
            findings.push_back(finding(
                root->firstChild(),
                QStringLiteral("the configuration file cannot be read (%1)").arg(config.reason)));
    }

    const DialogNumbers numbers(tree);
    // Per node by absolute index, filled before its children are visited: where its children
    // stand, and the dialog that holds it (its own index for a dialog, -1 outside dialogs).
    const int count = tree.count();
    std::vector<Place> places(size_t(count), Place::Free);
    std::vector<int> holders(size_t(count), -1);
    std::vector<bool> hasGoto(size_t(count), false);
    std::vector<int> levels(size_t(count), 0);
    // A dialog's position among the dialogs in pre-order, the number a renumbering gives it.
    std::vector<int> ordinals(size_t(count), 0);
    int dialogs = 0;
    bool tooDeep = false;
    // The answers met so far, by choice dialog and text: a repeated "Choice = C".
    std::set<std::pair<int, QByteArray>> answerNumbers;

    for (int i = 0; i < count; ++i) {
        const DialogNode *node = tree.nodeAt(i);
        const DialogNode *parent = node->parent();
        const int parentIndex = parent ? parent->absoluteIndex() : -1;
        const Place place = parent ? places[size_t(parentIndex)] : Place::Top;
        const Kind kind = classify(node->text());
        const bool isDialog = NodeText::isDialog(node->text());
        holders[size_t(i)] = isDialog ? i : (parent ? holders[size_t(parentIndex)] : -1);
        places[size_t(i)] = childPlace(kind, firstChildText(node));
        const int holder = holders[size_t(i)];
        const DialogNode *dialog = holder >= 0 ? tree.nodeAt(holder) : nullptr;
        const QByteArray label = dialog ? dialog->text() : NodeText::root();
        auto report = [&](const QString &message) {
            findings.push_back({node, label, node->text(), message});
        };

        levels[size_t(i)] = parent ? levels[size_t(parentIndex)] + 1 : 0;
        if (levels[size_t(i)] > DialogTree::kDeepestStoredLevel && !tooDeep) {
            tooDeep = true;
            report(QStringLiteral("stands at level %1; a saved file holds at most %2 levels")
                       .arg(levels[size_t(i)])
                       .arg(DialogTree::kDeepestStoredLevel));
        }
        if (node->text().size() > kStoredTextLimit)
            report(QStringLiteral("is %1 characters long; only the first %2 are saved")
                       .arg(node->text().size())
                       .arg(kStoredTextLimit));
        if (!fits(kind, place, node->row())) {
            // A malformed goto or delete action is told once, by its reference below.
            if (kind != Kind::Unknown || !ActionReference::mayName(node->text()))
                report(grammarProblem(kind, place, node->row(), node->text(),
                                      parent ? parent->text() : QByteArray()));
        } else if (kind == Kind::Choice && place == Place::ChoiceDialogChild &&
                   !answerNumbers.insert({parentIndex, node->text()}).second) {
            report(QStringLiteral("repeats an answer number of this choice dialog; each answer "
                                  "needs a number of its own"));
        } else if (kind == Kind::Goto && place == Place::TextDialogChild) {
            if (hasGoto[size_t(parentIndex)])
                report(QStringLiteral("is a second goto; a dialog holds one at most"));
            hasGoto[size_t(parentIndex)] = true;
        }
        if (kind == Kind::Goto || kind == Kind::Delete ||
            (kind == Kind::Unknown && ActionReference::mayName(node->text()))) {
            const QString problem =
                referenceProblem(numbers, dialog, ActionReference::parse(node->text()));
            if (!problem.isEmpty())
                report(problem);
        }
        if (isDialog && node->childCount() == 0)
            report(QStringLiteral("is a dialog without children"));
        if (NodeText::isDialogForNumbering(node->text()))
            ordinals[size_t(i)] = ++dialogs;
        // A label renamed in place to another dialog's: the game goes by the label.
        if (kind == Kind::Dialog) {
            const DialogNode *found = numbers.find(dialogNumber(node->text()));
            if (found != node)
                report(QStringLiteral("the %1 dialog carries this label too; the game finds that "
                                      "one, never this one, the %2")
                           .arg(ordinal(ordinals[size_t(found->absoluteIndex())]),
                                ordinal(ordinals[size_t(i)])));
        }
    }
    const std::vector<CheckFinding> unreached = ReadingReach::check(tree);
    findings.insert(findings.end(), unreached.begin(), unreached.end());
    return findings;
}

} // namespace DialogCheck
