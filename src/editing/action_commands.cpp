#include "action_commands.h"

#include "app/tform1.h"
#include "app/undo_history.h"
#include "document/node_text.h"
#include "document/str_operants.h"
#include "platform/ansi.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QToolButton>

namespace {

const QString kVariableOnChoice =
    QStringLiteral("You can only add a variable operation to a Dialog! Not to a choice!");
const QString kFunctionOnChoice =
    QStringLiteral("You can only add a function to a Dialog! Not to a choice!");

// The number field's dialog: the last node carrying the number that is not the last node of
// the tree, since only such a dialog can have a first child to look at.
DialogNode *numberedDialog(const DialogTree &tree, int number)
{
    DialogNode *found = nullptr;
    for (int i = 0; i + 1 < tree.count(); ++i) {
        DialogNode *node = tree.nodeAt(i);
        if (NodeText::isDialogNumber(node->text(), number))
            found = node;
    }
    return found;
}

} // namespace

ActionCommands::ActionCommands(TForm1 &form) : QObject(&form), m_form(form)
{
    connect(form.SpeedButton1, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });
    connect(form.SpeedButton2, &QToolButton::clicked, this, [this] { SpeedButton2Click(); });
    connect(form.SpeedButton3, &QToolButton::clicked, this, [this] { SpeedButton3Click(); });
    connect(form.SpeedButton4, &QToolButton::clicked, this, [this] { SpeedButton4Click(); });
    connect(form.SpinEdit3, &QSpinBox::valueChanged, this, [this] { SpinEdit3Change(); });
}

DialogNode *ActionCommands::actionDialog(const QString &choiceRefusal)
{
    DialogNode *dialog = m_form.selectedNode();
    if (!dialog || !NodeText::isDialog(dialog->text())) {
        m_form.prompter().message(QStringLiteral("Please select a bold dialog node first!"));
        return nullptr;
    }
    // A dialog without children is not a choice dialog.
    if (NodeText::isChoiceDialog(dialog)) {
        m_form.prompter().message(choiceRefusal);
        return nullptr;
    }
    return dialog;
}

void ActionCommands::addAction(DialogNode *dialog, const QByteArray &text)
{
    EditStep step(m_form.history(), QStringLiteral("Add ") + Ansi::toUnicode(text));
    m_form.document().addChild(dialog, text);
    m_form.Modified = true;
}

void ActionCommands::expandRoot()
{
    m_form.expandNode(m_form.document().firstNode(), true);
}

void ActionCommands::SpeedButton1Click()
{
    DialogNode *dialog = actionDialog(kVariableOnChoice);
    if (!dialog)
        return;
    const QByteArray value = Ansi::fromUnicode(m_form.Edit7->text());
    const QByteArray type = Ansi::fromUnicode(m_form.ComboBox3->currentText());
    if (!checktype(value, type)) {
        m_form.prompter().message(QStringLiteral(
            "The variable seems to have the wrong type!\n\r\n\rexpamles:\n\r Char: a\n\r  Short: "
            "123\n\r Float: 123.001\n\r String: This is a test"));
        return;
    }
    const QString name = m_form.ComboBox1->currentText();
    addAction(dialog, NodeText::setVariable(type, Ansi::fromUnicode(name), value));
    m_form.ComboBox1->addItem(name);
    m_form.ComboBox1->setEditText(name);
    expandRoot();
}

void ActionCommands::SpeedButton2Click()
{
    DialogNode *dialog = actionDialog(kFunctionOnChoice);
    if (!dialog)
        return;
    const QString call = m_form.ComboBox2->currentText();
    addAction(dialog, NodeText::call(Ansi::fromUnicode(call)));
    m_form.ComboBox2->addItem(call);
    m_form.ComboBox2->setEditText(call);
    expandRoot();
}

void ActionCommands::SpeedButton3Click()
{
    DialogNode *dialog = actionDialog(kFunctionOnChoice);
    if (!dialog)
        return;
    // Only the run of direct children right after the dialog counts: the scan stops at the
    // first node of another level.
    const DialogTree &tree = m_form.document();
    const int childLevel = dialog->level() + 1;
    for (int i = dialog->absoluteIndex() + 1; i < tree.count(); ++i) {
        const DialogNode *node = tree.nodeAt(i);
        if (node->level() != childLevel)
            break;
        if (node->text().startsWith("Goto")) {
            m_form.prompter().message(
                QStringLiteral("There is already a goto defined in this dialog!"));
            return;
        }
    }
    addAction(dialog, NodeText::gotoDialog(m_form.SpinEdit1->value()));
}

void ActionCommands::SpeedButton4Click()
{
    DialogNode *dialog = actionDialog(kFunctionOnChoice);
    if (!dialog)
        return;
    const int number = m_form.SpinEdit3->value();
    const DialogTree &tree = m_form.document();
    const DialogNode *target = nullptr;
    for (int i = 0; i < tree.count() && !target; ++i) {
        const DialogNode *node = tree.nodeAt(i);
        if (NodeText::isDialogNumber(node->text(), number) && node->childCount() > 0)
            target = node;
    }
    if (!target)
        return;
    addAction(dialog, NodeText::isChoiceDialog(target)
                          ? NodeText::deleteChoice(m_form.SpinEdit2->value(), number)
                          : NodeText::deleteDialog(number));
    expandRoot();
}

void ActionCommands::SpinEdit3Change()
{
    if (const DialogNode *dialog = numberedDialog(m_form.document(), m_form.SpinEdit3->value()))
        m_form.SpinEdit2->setEnabled(NodeText::isChoiceDialog(dialog));
}
