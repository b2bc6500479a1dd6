#include "read_through.h"

#include "action_reference.h"
#include "dialog_check.h"
#include "dialog_tree.h"
#include "node_text.h"
#include "platform/ansi.h"

namespace {

QString name(const DialogNode *dialog)
{
    return Ansi::toUnicode(dialog->text());
}

// Deletions that send the reading back again and again make it grow with the square of the
// dialogs; no real reading takes this many steps.
const int kMostSteps = 10000;

} // namespace

ReadThrough::ReadThrough(const DialogTree &tree) : m_tree(tree) {}

ReadThrough::~ReadThrough() = default;

void ReadThrough::restart()
{
    m_transcript.clear();
    m_answers.clear();
    m_hidden.clear();
    m_steps = 0;
    m_current = nullptr;
    m_numbers = std::make_unique<DialogNumbers>(m_tree);
    const DialogNode *first = m_numbers->find(1);
    if (!first)
        note(QStringLiteral("The document holds no Dialog1."));
    readFrom(first);
}

void ReadThrough::choose(int index)
{
    if (m_state != State::Choosing || index < 0 || index >= int(m_answers.size()))
        return;
    const Answer answer = m_answers[size_t(index)];
    m_answers.clear();
    m_transcript.push_back({Entry::Answer, answer.number, answer.text, QString()});
    const DialogNode *under = nullptr;
    for (int row = 0; row < answer.choice->childCount() && !under; ++row) {
        if (NodeText::isDialog(answer.choice->child(row)->text()))
            under = answer.choice->child(row);
    }
    readFrom(under ? under : after(m_current));
}

void ReadThrough::invalidate(const QString &why)
{
    if (m_state == State::Choosing)
        stop(why);
    m_answers.clear();
    m_hidden.clear();
    m_current = nullptr;
    m_numbers.reset();
}

void ReadThrough::readFrom(const DialogNode *next)
{
    // The dialogs read since the last answer or deletion: meeting one again means the reading
    // would go round for ever.
    QSet<const DialogNode *> seen;
    while (next) {
        if (++m_steps > kMostSteps) {
            m_answers.clear();
            note(QStringLiteral("The reading stopped after 10,000 steps."));
            m_state = State::Stopped;
            return;
        }
        if (seen.contains(next)) {
            stop(QStringLiteral("%1 is reached again without an answer in between: the gotos "
                                "go round in a loop")
                     .arg(name(next)));
            return;
        }
        seen.insert(next);
        if (m_hidden.contains(next)) {
            note(QStringLiteral("%1 is deleted; the reading goes on after it").arg(name(next)));
            next = after(next);
            continue;
        }
        m_current = next;
        m_transcript.push_back({Entry::Reached, next->text(), QByteArray(), QString()});
        if (next->childCount() == 0) {
            note(QStringLiteral("%1 has no children").arg(name(next)));
            next = after(next);
        } else if (NodeText::isChoiceDialog(next)) {
            if (offerAnswers(next)) {
                m_state = State::Choosing;
                return;
            }
            note(QStringLiteral("Every answer of %1 is deleted").arg(name(next)));
            next = after(next);
        } else {
            const qsizetype hidden = m_hidden.size();
            bool stopped = false;
            next = readText(next, &stopped);
            if (stopped)
                return;
            if (m_hidden.size() != hidden)
                seen.clear();
        }
    }
    m_transcript.push_back({Entry::End, QByteArray(), QByteArray(), QString()});
    m_state = State::Ended;
}

const DialogNode *ReadThrough::readText(const DialogNode *dialog, bool *stopped)
{
    m_transcript.push_back({Entry::Speech, NodeText::childValue(dialog, "Speaker = "),
                            NodeText::childValue(dialog, "Text = "), QString()});
    const DialogNode *jump = nullptr;
    for (int row = 0; row < dialog->childCount(); ++row) {
        const DialogNode *action = dialog->child(row);
        const QByteArray &text = action->text();
        if (!NodeText::isAction(text))
            continue;
        if (text.startsWith("Set") || text.startsWith("Call")) {
            m_transcript.push_back({Entry::Action, text, QByteArray(),
                                    text.startsWith("Set") ? QStringLiteral("variable operation")
                                                           : QStringLiteral("function call")});
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
        QString what;
        switch (reference.kind) {
        case ActionReference::Goto:
            if (jump) {
                what = QStringLiteral("a second goto, not followed");
            } else {
                jump = target;
                what = QStringLiteral("goes to %1").arg(name(target));
            }
            break;
        case ActionReference::DeleteDialog:
            m_hidden.insert(target);
            what = QStringLiteral("hides %1 from now on").arg(name(target));
            break;
        case ActionReference::DeleteChoice:
            for (int choice = 0; choice < target->childCount(); ++choice) {
                const DialogNode *node = target->child(choice);
                if (node->text() == NodeText::choice(QByteArray::number(reference.choice)))
                    m_hidden.insert(node);
            }
            what = QStringLiteral("hides choice %1 of %2 from now on")
                       .arg(reference.choice)
                       .arg(name(target));
            break;
        case ActionReference::None:
            break;
        }
        m_transcript.push_back({Entry::Action, text, QByteArray(), what});
    }
    return jump ? jump : after(dialog);
}

bool ReadThrough::offerAnswers(const DialogNode *dialog)
{
    m_answers.clear();
    for (int row = 0; row < dialog->childCount(); ++row) {
        const DialogNode *choice = dialog->child(row);
        if (!NodeText::isChoice(choice->text()) || m_hidden.contains(choice))
            continue;
        m_answers.push_back({choice, NodeText::choiceNumber(choice->text()),
                             NodeText::childValue(choice, "Text = ")});
    }
    return !m_answers.empty();
}

void ReadThrough::stop(const QString &why)
{
    m_answers.clear();
    m_transcript.push_back({Entry::Stop, QByteArray(), QByteArray(), why});
    m_state = State::Stopped;
}

void ReadThrough::note(const QString &text)
{
    m_transcript.push_back({Entry::Note, QByteArray(), QByteArray(), text});
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
