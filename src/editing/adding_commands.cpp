#include "adding_commands.h"

#include "app/tform1.h"
#include "app/undo_history.h"
#include "document/node_text.h"
#include "editing/tform2.h"
#include "platform/ansi.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTextDocument>
#include <QToolButton>
#include <QTreeWidget>

namespace {

constexpr int kTextDialogImage = 1;
constexpr int kChoiceDialogImage = 2;

// The Enter key, from the main keyboard or the keypad.
bool isEnter(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// The text box's text as the author's lines: the box gives line feeds, the document wants every
// line ended by a carriage return and a line feed.
QByteArray authorText(const QPlainTextEdit *memo)
{
    // The raw text keeps no-break spaces, which the plain text turns into blanks; its
    // paragraphs are separated by U+2029.
    QString text = memo->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return Ansi::fromUnicode(text);
}

} // namespace

AddingCommands::AddingCommands(TForm1 &form) : QObject(&form), m_form(form)
{
    setObjectName(QStringLiteral("AddingCommands"));
    auto guarded = [this](void (AddingCommands::*command)()) {
        return [this, command] { m_form.guarded([this, command] { (this->*command)(); }); };
    };
    connect(form.SpeedButton7, &QToolButton::clicked, this,
            guarded(&AddingCommands::SpeedButton7Click));
    connect(form.SpeedButton11, &QToolButton::clicked, this,
            guarded(&AddingCommands::SpeedButton11Click));
    connect(form.SpeedButton8, &QToolButton::clicked, this,
            guarded(&AddingCommands::SpeedButton8Click));
    connect(form.SpeedButton9, &QToolButton::clicked, this,
            guarded(&AddingCommands::SpeedButton9Click));
    connect(form.SpeedButton10, &QToolButton::clicked, this,
            guarded(&AddingCommands::SpeedButton10Click));
    form.Edit5->installEventFilter(this);
}

DialogNode *AddingCommands::addDialog(DialogNode *node)
{
    DialogTree &tree = m_form.document();
    EditStep step(m_form.history(), QStringLiteral("Add dialog"));

    const QByteArray line = NodeText::joinLines(authorText(m_form.Memo1));
    m_form.Memo1->setPlainText(Ansi::toUnicode(line));
    tree.setDialogCount(tree.DialogCount() + 1);
    const QByteArray speaker = m_form.RadioButton1->isChecked() ? "Player" : "Entity";

    // The number is provisional: creating the first child renumbers the dialog by position.
    DialogNode *dialog = tree.addSibling(node, NodeText::dialog(tree.DialogCount()));
    tree.setImageIndex(dialog, kTextDialogImage);
    tree.addChild(dialog, NodeText::typeText());
    tree.addChild(dialog, NodeText::speaker(speaker));
    tree.addChild(dialog, NodeText::text(line));
    m_form.expandNode(dialog, true);
    // A new dialog is a change that no file holds yet: closing must ask.
    m_form.Modified = true;
    return dialog;
}

DialogNode *AddingCommands::addChoice(DialogNode *node)
{
    QTreeWidget *table = m_form.ListView1;
    if (table->topLevelItemCount() == 0) {
        m_form.prompter().message(QStringLiteral("Please create a choice first!"));
        return nullptr;
    }
    DialogTree &tree = m_form.document();
    EditStep step(m_form.history(), QStringLiteral("Add decision"));
    tree.setDialogCount(tree.DialogCount() + 1);
    DialogNode *dialog = tree.addSibling(node, NodeText::dialog(tree.DialogCount()));
    tree.setImageIndex(dialog, kChoiceDialogImage);
    for (int row = 0; row < table->topLevelItemCount(); ++row) {
        const QTreeWidgetItem *item = table->topLevelItem(row);
        DialogNode *choice =
            tree.addChild(dialog, NodeText::choice(Ansi::fromUnicode(item->text(0))));
        tree.addChild(choice, NodeText::text(Ansi::fromUnicode(item->text(1))));
    }
    m_form.expandNode(dialog, true);
    m_form.Modified = true;
    return dialog;
}

void AddingCommands::preparePlacement(const QString &mode)
{
    m_form.PlaceMode = mode;
    if (TForm2 *placement = m_form.placementWindow()) {
        placement->refreshchoices();
        placement->SpinEdit1->setMaximum(m_form.document().DialogCount());
    }
}

void AddingCommands::SpeedButton7Click()
{
    preparePlacement(QStringLiteral("dialog"));
    if (m_form.CheckBox3->isChecked())
        addDialog(nullptr);
    else if (TForm2 *placement = m_form.placementWindow())
        placement->exec();
}

void AddingCommands::SpeedButton11Click()
{
    // A choice dialog needs a dialog before it: Root and a configuration node are not enough.
    if (m_form.document().count() < 3) {
        m_form.prompter().message(QStringLiteral("First Item must be a dialog!"));
        return;
    }
    preparePlacement(QStringLiteral("choice"));
    if (m_form.CheckBox3->isChecked())
        addChoice(nullptr);
    else if (TForm2 *placement = m_form.placementWindow())
        placement->exec();
}

void AddingCommands::SpeedButton8Click()
{
    QTreeWidget *table = m_form.ListView1;
    auto *item = new QTreeWidgetItem(table);
    // The number is the row count once, never renumbered: removals leave gaps and repeats.
    item->setText(0, QString::number(table->topLevelItemCount()));
    item->setText(1, m_form.Edit5->text());
}

void AddingCommands::Edit5KeyUp(int key)
{
    if (!isEnter(key))
        return;
    SpeedButton8Click();
    // The next answer typed replaces this one.
    m_form.Edit5->selectAll();
}

void AddingCommands::SpeedButton9Click()
{
    if (!m_form.prompter().confirm(QStringLiteral("Delete selected choice?")))
        return;
    QTreeWidget *table = m_form.ListView1;
    const QList<QTreeWidgetItem *> selected = table->selectedItems();
    if (!selected.isEmpty())
        delete selected.first();
}

void AddingCommands::SpeedButton10Click()
{
    m_form.ListView1->clear();
}

bool AddingCommands::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_form.Edit5)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::KeyPress: {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (!key->isAutoRepeat())
            m_enterPressedHere = isEnter(key->key());
        break;
    }
    case QEvent::KeyRelease: {
        const auto *key = static_cast<QKeyEvent *>(event);
        // A held key repeats its release in Qt; the author released it once. A release whose
        // press went elsewhere (Enter closing the placement window, which hands the focus back
        // to this field) adds nothing.
        if (!key->isAutoRepeat() && m_enterPressedHere) {
            m_enterPressedHere = false;
            m_form.guarded([this, key] { Edit5KeyUp(key->key()); });
        }
        break;
    }
    case QEvent::FocusOut:
        m_enterPressedHere = false;
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
