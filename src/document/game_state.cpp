#include "game_state.h"

#include "dialog_node.h"
#include "node_text.h"
#include "platform/ansi.h"
#include "variable_operation.h"

QByteArray GameState::Call::function() const
{
    const qsizetype comma = call.indexOf(',');
    return (comma < 0 ? call : call.left(comma)).trimmed();
}

QList<QByteArray> GameState::Call::parameters() const
{
    QList<QByteArray> result;
    const qsizetype comma = call.indexOf(',');
    if (comma < 0)
        return result;
    for (const QByteArray &parameter : call.mid(comma + 1).split(','))
        result.append(parameter.trimmed());
    return result;
}

QByteArray GameState::Call::shown() const
{
    QByteArray text = function() + '(';
    const QList<QByteArray> given = parameters();
    for (qsizetype i = 0; i < given.size(); ++i)
        text += (i ? ", " : "") + given[i];
    return text + ')';
}

void GameState::set(const QByteArray &type, const QByteArray &name, const QByteArray &value,
                    const DialogNode *by)
{
    const auto at = m_variableAt.constFind(name);
    if (at != m_variableAt.constEnd()) {
        m_variables[*at] = {type, name, value, by};
        return;
    }
    m_variableAt.insert(name, m_variables.size());
    m_variables.push_back({type, name, value, by});
}

void GameState::call(const QByteArray &call, const DialogNode *by)
{
    m_calls.push_back({call, by});
}

void GameState::remove(const DialogNode *node)
{
    if (!m_removedSet.contains(node)) {
        m_removedSet.insert(node);
        m_removed.push_back(node);
    }
}

void GameState::reach(const DialogNode *dialog)
{
    const auto at = m_reachAt.constFind(dialog);
    if (at != m_reachAt.constEnd()) {
        ++m_reached[*at].count;
        return;
    }
    m_reachAt.insert(dialog, m_reached.size());
    m_reached.push_back({dialog, 1});
}

int GameState::reachCount(const DialogNode *dialog) const
{
    const auto at = m_reachAt.constFind(dialog);
    return at == m_reachAt.constEnd() ? 0 : m_reached[*at].count;
}

QString GameState::removedName(const DialogNode *node)
{
    if (NodeText::isDialog(node->text()) || !node->parent())
        return Ansi::toUnicode(node->text());
    return QStringLiteral("choice %1 of %2")
        .arg(Ansi::toUnicode(NodeText::choiceNumber(node->text())),
             Ansi::toUnicode(node->parent()->text()));
}

QStringList GameState::lines() const
{
    QStringList result;
    for (const Variable &variable : m_variables)
        result << Ansi::toUnicode(
            VariableOperation{variable.type, variable.name, variable.value}.text());
    for (const Call &call : m_calls)
        result << Ansi::toUnicode(NodeText::call(call.call));
    for (const DialogNode *node : m_removed)
        result << QStringLiteral("Removed ") + removedName(node);
    return result;
}
