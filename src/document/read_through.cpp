#include "read_through.h"

#include "action_reference.h"
#include "dialog_check.h"
#include "dialog_tree.h"
#include "node_text.h"
#include "platform/ansi.h"
#include "reading_lines.h"
#include "variable_operation.h"

namespace {

QString name(const DialogNode *dialog)
{
    return Ansi::toUnicode(dialog->text());
}

// Deletions that send the reading back again and again make it grow with the square of the
// dialogs; no real reading takes this many steps.
const int kMostSteps = 10000;

} // namespace

ReadThrough::ReadThrough(const DialogTree &tree, const DialogNumbers *numbers)
    : m_tree(tree), m_shared(numbers)
{
}

ReadThrough::~ReadThrough() = default;

void ReadThrough::restart()
{
    start(nullptr, GameState());
}

void ReadThrough::clear()
{
    m_transcript.clear();
    m_answers.clear();
    m_taken.clear();
    m_game = GameState();
    m_current = nullptr;
    m_state = State::Ended;
}

void ReadThrough::start(const DialogNode *from, GameState state)
{
    clear();
    for (const GameState::Variable &variable : state.variables())
        m_game.set(variable.type, variable.name, variable.value, nullptr);
    for (const GameState::Call &call : state.calls())
        m_game.call(call.call, nullptr);
    for (const DialogNode *node : state.removed())
        m_game.remove(node);
    m_steps = 0;
    if (!m_shared)
        m_own = std::make_unique<DialogNumbers>(m_tree);
    m_numbers = m_shared ? m_shared : m_own.get();
    if (!from) {
        from = m_numbers->find(1);
        if (!from)
            note(QStringLiteral("The document holds no Dialog1."));
    }
    readFrom(from);
}

void ReadThrough::choose(int index)
{
    if (m_state != State::Choosing || index < 0 || index >= int(m_answers.size()))
        return;
    const Answer answer = m_answers[size_t(index)];
    m_answers.clear();
    m_taken.push_back(answer);
    push(Entry::Answer, answer.number, answer.text);
    const DialogNode *under = nullptr;
    for (int row = 0; row < answer.choice->childCount() && !under; ++row) {
        if (NodeText::isDialog(answer.choice->child(row)->text()))
            under = answer.choice->child(row);
    }
    readFrom(under ? under : after(m_current));
}

bool ReadThrough::chooseNumber(const QByteArray &number)
{
    if (m_state != State::Choosing) {
        // The reading ends in the stop instead.
        if (m_state == State::Ended && !m_transcript.empty() &&
            m_transcript.back().kind == Entry::End)
            m_transcript.pop_back();
        if (m_state == State::Ended)
            stop(QStringLiteral("the conversation ended before answer %1 could be taken")
                     .arg(Ansi::toUnicode(number)));
        return false;
    }
    QStringList offered;
    for (size_t i = 0; i < m_answers.size(); ++i) {
        if (m_answers[i].number == number) {
            choose(int(i));
            return true;
        }
        offered << Ansi::toUnicode(m_answers[i].number);
    }
    stop(QStringLiteral("answer %1 is not offered at %2 (offered: %3)")
             .arg(Ansi::toUnicode(number), name(m_current), offered.join(QStringLiteral(", "))));
    return false;
}

void ReadThrough::invalidate(const QString &why)
{
    if (m_state == State::Choosing)
        stop(why);
    m_answers.clear();
    m_game = GameState();
    m_current = nullptr;
    m_own.reset();
    m_numbers = nullptr;
}

void ReadThrough::readFrom(const DialogNode *next)
{
    // The dialogs read since the last answer or deletion: meeting one again means the reading
    // would go round for ever.
    QSet<const DialogNode *> seen;
    while (next) {
        if (++m_steps > kMostSteps) {
            stop(QStringLiteral("the reading passed 10,000 dialogs"));
            return;
        }
        if (seen.contains(next)) {
            stop(QStringLiteral("%1 is reached again without an answer in between: the gotos "
                                "go round in a loop")
                     .arg(name(next)));
            return;
        }
        seen.insert(next);
        if (m_game.isRemoved(next)) {
            note(QStringLiteral("%1 is deleted; the reading goes on after it").arg(name(next)));
            next = after(next);
            continue;
        }
        m_current = next;
        m_game.reach(next);
        if (next->childCount() == 0) {
            note(QStringLiteral("%1 has no children").arg(name(next)));
            next = after(next);
        } else if (NodeText::isChoiceDialog(next)) {
            push(Entry::Choice, QByteArray(), QByteArray());
            if (offerAnswers(next)) {
                m_state = State::Choosing;
                return;
            }
            note(QStringLiteral("Every answer of %1 is deleted").arg(name(next)));
            next = after(next);
        } else {
            const size_t removed = m_game.removed().size();
            bool stopped = false;
            next = readText(next, &stopped);
            if (stopped)
                return;
            if (m_game.removed().size() != removed)
                seen.clear();
        }
    }
    push(Entry::End, QByteArray(), QByteArray());
    m_state = State::Ended;
}

const DialogNode *ReadThrough::readText(const DialogNode *dialog, bool *stopped)
{
    push(Entry::Said, NodeText::childValue(dialog, "Speaker = "),
         NodeText::childValue(dialog, "Text = "));
    const DialogNode *jump = nullptr;
    for (int row = 0; row < dialog->childCount(); ++row) {
        const DialogNode *action = dialog->child(row);
        const QByteArray &text = action->text();
        if (!NodeText::isAction(text))
            continue;
        if (text.startsWith("Set")) {
            const std::optional<VariableOperation> set = VariableOperation::parse(text);
            if (set)
                m_game.set(set->type, set->name, set->value, dialog);
            push(Entry::Action, text,
                 set ? set->name + " = " + set->value : QByteArray("nothing set: no Set form"));
            continue;
        }
        if (text.startsWith("Call")) {
            const QByteArray called = text.startsWith("Call = ") ? text.mid(7) : QByteArray();
            m_game.call(called, dialog);
            push(Entry::Action, text, GameState::Call{called, dialog}.shown());
            continue;
        }
        const ActionReference reference = ActionReference::parse(text);
        const QString problem = DialogCheck::referenceProblem(*m_numbers, dialog, reference);
        if (!problem.isEmpty()) {
            stop(DialogCheck::finding(action, problem).line());
            *stopped = true;
            return nullptr;
        }
        const DialogNode *target = m_numbers->find(reference.dialog);
        QByteArray what;
        switch (reference.kind) {
        case ActionReference::Goto:
            if (jump) {
                what = "a second goto, not followed";
            } else {
                jump = target;
                what = target->text();
            }
            break;
        case ActionReference::DeleteDialog:
            m_game.remove(target);
            what = target->text() + " removed (" +
                   Ansi::fromUnicode(ReadingLines::fingerprint(target)) + ')';
            break;
        case ActionReference::DeleteChoice:
            for (int choice = 0; choice < target->childCount(); ++choice) {
                const DialogNode *node = target->child(choice);
                if (node->text() == NodeText::choice(QByteArray::number(reference.choice))) {
                    m_game.remove(node);
                    what = "choice " + QByteArray::number(reference.choice) + " of " +
                           target->text() + " removed (" + NodeText::childValue(node, "Text = ") +
                           ')';
                }
            }
            break;
        case ActionReference::None:
            break;
        }
        push(Entry::Action, text, what);
    }
    return jump ? jump : after(dialog);
}

bool ReadThrough::offerAnswers(const DialogNode *dialog)
{
    m_answers.clear();
    for (int row = 0; row < dialog->childCount(); ++row) {
        const DialogNode *choice = dialog->child(row);
        if (!NodeText::isChoice(choice->text()) || m_game.isRemoved(choice))
            continue;
        m_answers.push_back({choice, NodeText::choiceNumber(choice->text()),
                             NodeText::childValue(choice, "Text = ")});
        push(Entry::Offer, m_answers.back().number, m_answers.back().text);
    }
    return !m_answers.empty();
}

void ReadThrough::stop(const QString &why)
{
    m_answers.clear();
    m_transcript.push_back({Entry::Stop, QByteArray(), QByteArray(), QByteArray(), why, m_current});
    m_state = State::Stopped;
}

void ReadThrough::note(const QString &text)
{
    m_transcript.push_back(
        {Entry::Note, QByteArray(), QByteArray(), QByteArray(), text, m_current});
}

void ReadThrough::push(Entry::Kind kind, const QByteArray &subject, const QByteArray &text)
{
    m_transcript.push_back(
        {kind, m_current ? m_current->text() : QByteArray(), subject, text, QString(), m_current});
}

const DialogNode *ReadThrough::after(const DialogNode *node)
{
    while (node) {
        for (const DialogNode *sibling = node->nextSibling(); sibling;
             sibling = sibling->nextSibling()) {
            if (NodeText::isDialog(sibling->text()))
                return sibling;
        }
        // This level is done: go on after the dialog that holds it.
        node = node->parent();
        while (node && !NodeText::isDialog(node->text()))
            node = node->parent();
    }
    return nullptr;
}
