#include "action_commands.h"

#include "document/node_text.h"
#include "platform/ansi.h"
#include "platform/user_settings.h"
#include "windows/main_window.h"
#include "windows/undo_history.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QToolButton>

namespace {

const char kEnableActionsKey[] = "editing/enableActions";

} // namespace

ActionCommands::ActionCommands(MainWindow &window) : QObject(&window), m_window(window)
{
    connect(window.addVariableButton, &QToolButton::clicked, this,
            [this] { addVariableOperation(); });
    connect(window.addCallButton, &QToolButton::clicked, this, [this] { addFunctionCall(); });
    connect(window.addGotoButton, &QToolButton::clicked, this, [this] { addGotoAction(); });
    connect(window.addDeleteButton, &QToolButton::clicked, this, [this] { addDeleteAction(); });
    connect(window.deleteDialogField, &QSpinBox::valueChanged, this,
            [this] { enableChoiceForDialog(); });
    window.enableActionsAction->setChecked(
        UserSettings::open()->value(QLatin1String(kEnableActionsKey), false).toBool());
    enableActions(window.enableActionsAction->isChecked());
    connect(window.enableActionsAction, &QAction::toggled, this, [this](bool enabled) {
        enableActions(enabled);
        UserSettings::open()->setValue(QLatin1String(kEnableActionsKey), enabled);
    });
}

void ActionCommands::enableActions(bool enabled)
{
    for (QGroupBox *group :
         {m_window.variableGroup, m_window.callGroup, m_window.gotoGroup, m_window.deleteGroup})
        group->setEnabled(enabled);
}

bool ActionCommands::addAction(const std::function<DialogEdits::Outcome(DialogEdits &)> &add)
{
    DialogEdits::Outcome outcome;
    {
        EditStep step(m_window.history(), QString());
        DialogEdits edits(m_window.document());
        outcome = add(edits);
        if (outcome.node)
            m_window.history().rename(QStringLiteral("Add ") +
                                      Ansi::toUnicode(outcome.node->text()));
    }
    // A refusal is shown with no step open: it changed nothing.
    if (!outcome.refusal.isEmpty())
        m_window.prompter().message(outcome.refusal);
    if (!outcome.node)
        return false;
    m_window.Modified = true;
    return true;
}

void ActionCommands::addVariableOperation()
{
    for (const QString &field :
         {m_window.variableValueField->text(), m_window.variableTypeCombo->currentText(),
          m_window.variableNameCombo->currentText()}) {
        if (m_window.prompter().refuseUnrepresentable(field))
            return;
    }
    const QByteArray value = Ansi::fromUnicode(m_window.variableValueField->text());
    const QByteArray type = Ansi::fromUnicode(m_window.variableTypeCombo->currentText());
    const QString name = m_window.variableNameCombo->currentText();
    const QByteArray variable = Ansi::fromUnicode(name);
    if (!addAction([&](DialogEdits &edits) {
            return edits.addVariable(m_window.selectedNode(), type, variable, value);
        }))
        return;
    m_window.variableNameCombo->addItem(name);
    m_window.variableNameCombo->setEditText(name);
}

void ActionCommands::addFunctionCall()
{
    const QString call = m_window.functionCallCombo->currentText();
    if (m_window.prompter().refuseUnrepresentable(call))
        return;
    const QByteArray bytes = Ansi::fromUnicode(call);
    if (!addAction(
            [&](DialogEdits &edits) { return edits.addCall(m_window.selectedNode(), bytes); }))
        return;
    m_window.functionCallCombo->addItem(call);
    m_window.functionCallCombo->setEditText(call);
}

void ActionCommands::addGotoAction()
{
    const int number = m_window.gotoNumberField->value();
    addAction([&](DialogEdits &edits) { return edits.addGoto(m_window.selectedNode(), number); });
}

void ActionCommands::addDeleteAction()
{
    const int number = m_window.deleteDialogField->value();
    const int choice = m_window.deleteChoiceField->value();
    addAction([&](DialogEdits &edits) {
        return edits.addDelete(m_window.selectedNode(), number, choice);
    });
}

void ActionCommands::enableChoiceForDialog()
{
    if (const DialogNode *dialog =
            DialogEdits(m_window.document()).numberedDialog(m_window.deleteDialogField->value()))
        m_window.deleteChoiceField->setEnabled(NodeText::isChoiceDialog(dialog));
}
