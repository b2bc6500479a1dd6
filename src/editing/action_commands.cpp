#include "action_commands.h"

#include "document/node_text.h"
#include "platform/ansi.h"
#include "windows/main_window.h"
#include "windows/undo_history.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QToolButton>

ActionCommands::ActionCommands(TForm1 &form) : QObject(&form), m_form(form)
{
    connect(form.SpeedButton1, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });
    connect(form.SpeedButton2, &QToolButton::clicked, this, [this] { SpeedButton2Click(); });
    connect(form.SpeedButton3, &QToolButton::clicked, this, [this] { SpeedButton3Click(); });
    connect(form.SpeedButton4, &QToolButton::clicked, this, [this] { SpeedButton4Click(); });
    connect(form.SpinEdit3, &QSpinBox::valueChanged, this, [this] { SpinEdit3Change(); });
}

bool ActionCommands::addAction(const std::function<DialogEdits::Outcome(DialogEdits &)> &add)
{
    DialogEdits::Outcome outcome;
    {
        EditStep step(m_form.history(), QString());
        DialogEdits edits(m_form.document());
        outcome = add(edits);
        if (outcome.node)
            m_form.history().rename(QStringLiteral("Add ") + Ansi::toUnicode(outcome.node->text()));
    }
    // A refusal is shown with no step open: it changed nothing.
    if (!outcome.refusal.isEmpty())
        m_form.prompter().message(outcome.refusal);
    if (!outcome.node)
        return false;
    m_form.Modified = true;
    return true;
}

void ActionCommands::SpeedButton1Click()
{
    const QByteArray value = Ansi::fromUnicode(m_form.Edit7->text());
    const QByteArray type = Ansi::fromUnicode(m_form.ComboBox3->currentText());
    const QString name = m_form.ComboBox1->currentText();
    const QByteArray variable = Ansi::fromUnicode(name);
    if (!addAction([&](DialogEdits &edits) {
            return edits.addVariable(m_form.selectedNode(), type, variable, value);
        }))
        return;
    m_form.ComboBox1->addItem(name);
    m_form.ComboBox1->setEditText(name);
}

void ActionCommands::SpeedButton2Click()
{
    const QString call = m_form.ComboBox2->currentText();
    const QByteArray bytes = Ansi::fromUnicode(call);
    if (!addAction([&](DialogEdits &edits) { return edits.addCall(m_form.selectedNode(), bytes); }))
        return;
    m_form.ComboBox2->addItem(call);
    m_form.ComboBox2->setEditText(call);
}

void ActionCommands::SpeedButton3Click()
{
    const int number = m_form.SpinEdit1->value();
    addAction([&](DialogEdits &edits) { return edits.addGoto(m_form.selectedNode(), number); });
}

void ActionCommands::SpeedButton4Click()
{
    const int number = m_form.SpinEdit3->value();
    const int choice = m_form.SpinEdit2->value();
    addAction(
        [&](DialogEdits &edits) { return edits.addDelete(m_form.selectedNode(), number, choice); });
}

void ActionCommands::SpinEdit3Change()
{
    if (const DialogNode *dialog =
            DialogEdits(m_form.document()).numberedDialog(m_form.SpinEdit3->value()))
        m_form.SpinEdit2->setEnabled(NodeText::isChoiceDialog(dialog));
}
