#include "flow_map_commands.h"

#include "flow_map_view.h"
#include "flow_map_window.h"

#include "document/dialog_edits.h"
#include "document/dialog_numbers.h"
#include "document/node_text.h"
#include "platform/ansi.h"
#include "windows/main_window.h"
#include "windows/undo_history.h"

#include <QAction>

namespace {

// The first child of node whose text begins with keyword; none when no child does.
DialogNode *childBeginning(const DialogNode *node, QByteArrayView keyword)
{
    for (int row = 0; row < node->childCount(); ++row) {
        if (node->child(row)->text().startsWith(keyword))
            return node->child(row);
    }
    return nullptr;
}

// A change of words only, for the map's view while it lasts.
class WordsOnly
{
public:
    explicit WordsOnly(FlowMapView &view) : m_view(view) { m_view.setWordsOnly(true); }
    ~WordsOnly() { m_view.setWordsOnly(false); }
    WordsOnly(const WordsOnly &) = delete;
    WordsOnly &operator=(const WordsOnly &) = delete;

private:
    FlowMapView &m_view;
};

} // namespace

FlowMapCommands::FlowMapCommands(MainWindow &window, FlowMapWindow &map, QAction *deleteAction)
    : QObject(&map), m_window(window), m_map(map), m_deleteAction(deleteAction)
{
    setObjectName(QStringLiteral("FlowMapCommands"));
    auto guarded = [this](auto command) {
        return [this, command](auto... arguments) {
            m_window.guarded([&] { (this->*command)(arguments...); });
        };
    };
    connect(&map, &FlowMapWindow::textCommitted, this, guarded(&FlowMapCommands::changeText));
    connect(&map, &FlowMapWindow::addAfterRequested, this, guarded(&FlowMapCommands::addAfter));
    connect(&map, &FlowMapWindow::addAnswerRequested, this, guarded(&FlowMapCommands::addAnswer));
    connect(&map, &FlowMapWindow::speakerRequested, this, guarded(&FlowMapCommands::setSpeaker));
    connect(&map, &FlowMapWindow::gotoDropped, this, guarded(&FlowMapCommands::setGoto));
    connect(&map, &FlowMapWindow::deleteRequested, this, guarded(&FlowMapCommands::deleteDialog));
    // The goto handle works while the action tabs do.
    map.setGotoEditing(window.enableActionsAction->isChecked());
    connect(window.enableActionsAction, &QAction::toggled, &map, &FlowMapWindow::setGotoEditing);
}

DialogNode *FlowMapCommands::editable(const DialogNode *node) const
{
    DialogTree &tree = m_window.document();
    const int index = node ? node->absoluteIndex() : -1;
    return index >= 0 && index < tree.count() && tree.nodeAt(index) == node ? tree.nodeAt(index)
                                                                            : nullptr;
}

void FlowMapCommands::openForWriting(DialogNode *made, int answer)
{
    m_window.selectNode(made);
    FlowMapView *view = m_map.view();
    view->editText(view->graph().boxOf(made), answer);
}

void FlowMapCommands::changeText(const DialogNode *holder, const QString &text)
{
    DialogNode *node = editable(holder);
    DialogNode *textNode = node ? childBeginning(node, "Text = ") : nullptr;
    if (!textNode || m_window.prompter().refuseUnrepresentable(text))
        return;
    // The document ends every line of the author's with a carriage return and a line feed.
    QString lines = text;
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    lines.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    const QByteArray line = NodeText::text(NodeText::joinLines(Ansi::fromUnicode(lines)));
    bool changed = false;
    {
        const WordsOnly words(*m_map.view());
        EditStep step(m_window.history(),
                      QStringLiteral("Update ") + Ansi::toUnicode(textNode->text()));
        changed = DialogEdits(m_window.document()).rename(textNode, line);
    }
    if (changed)
        m_window.Modified = true;
}

void FlowMapCommands::addAfter(const DialogNode *dialog, bool choice)
{
    DialogNode *node = editable(dialog);
    if (!node)
        return;
    DialogEdits edits(m_window.document());
    DialogEdits::Outcome added;
    if (choice) {
        EditStep step(m_window.history(), QStringLiteral("Add decision"));
        added = edits.addChoiceDialogAfter(node, {{"1", QByteArray()}});
    } else {
        // The other speaker answers: after the player's line, or a choice, the entity speaks.
        const bool player =
            NodeText::childValue(node, "Speaker = ") != "Player" && !NodeText::isChoiceDialog(node);
        EditStep step(m_window.history(), QStringLiteral("Add dialog"));
        added = edits.addTextDialogAfter(node, QByteArray(),
                                         player ? DialogEdits::Speaker::Player
                                                : DialogEdits::Speaker::Entity);
    }
    if (!added.refusal.isEmpty())
        m_window.prompter().message(added.refusal);
    if (!added.node)
        return;
    m_window.Modified = true;
    openForWriting(added.node, choice ? 0 : -1);
}

void FlowMapCommands::addAnswer(const DialogNode *choiceDialog)
{
    DialogNode *node = editable(choiceDialog);
    DialogEdits::Outcome added;
    {
        EditStep step(m_window.history(), QStringLiteral("Add answer"));
        added = DialogEdits(m_window.document()).addAnswer(node, QByteArray());
    }
    if (!added.refusal.isEmpty()) {
        m_window.prompter().message(added.refusal);
        return;
    }
    m_window.Modified = true;
    int answers = 0;
    for (int row = 0; row < node->childCount(); ++row)
        answers += NodeText::isChoice(node->child(row)->text());
    openForWriting(node, answers - 1);
}

void FlowMapCommands::setSpeaker(const DialogNode *dialog, bool player)
{
    DialogNode *node = editable(dialog);
    DialogNode *speaker = node ? childBeginning(node, "Speaker = ") : nullptr;
    if (!speaker)
        return;
    bool changed = false;
    {
        const WordsOnly words(*m_map.view());
        EditStep step(m_window.history(),
                      QStringLiteral("Update ") + Ansi::toUnicode(speaker->text()));
        changed = DialogEdits(m_window.document())
                      .rename(speaker, NodeText::speaker(player ? "Player" : "Entity"));
    }
    if (changed)
        m_window.Modified = true;
}

void FlowMapCommands::setGoto(const DialogNode *dialog, const DialogNode *target)
{
    DialogNode *node = editable(dialog);
    if (!node)
        return;
    DialogEdits edits(m_window.document());
    if (!target) {
        DialogNode *followed = DialogEdits::firstGoto(node);
        if (!followed)
            return;
        const DialogEdits::Deletion deletion = edits.planDeletion(followed);
        EditStep step(m_window.history(), deletion.name);
        edits.remove(deletion);
        m_window.Modified = true;
        return;
    }
    const int number = DialogNumbers::numberOf(target);
    DialogEdits::Outcome outcome;
    {
        EditStep step(m_window.history(), Ansi::toUnicode(NodeText::gotoDialog(number)));
        outcome = edits.setGoto(node, number);
    }
    if (!outcome.refusal.isEmpty()) {
        m_window.prompter().message(outcome.refusal);
        return;
    }
    if (outcome.node)
        m_window.Modified = true;
}

void FlowMapCommands::deleteDialog(const DialogNode *dialog)
{
    DialogNode *node = editable(dialog);
    if (!node || !m_deleteAction)
        return;
    m_window.selectNode(node);
    m_deleteAction->trigger();
}
