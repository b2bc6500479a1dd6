#include "adding_commands.h"

#include "document/node_text.h"
#include "editing/placement_window.h"
#include "platform/ansi.h"
#include "windows/main_window.h"
#include "windows/undo_history.h"

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

AddingCommands::AddingCommands(TForm1 &form, TForm2 &placement)
    : QObject(&form), m_form(form), m_placement(placement)
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
    connect(&placement, &TForm2::placementChosen, this,
            [this](const DialogEdits::Placement &where) {
                m_form.guarded([this, &where] { place(where); });
            });
    form.Edit5->installEventFilter(this);
}

DialogNode *AddingCommands::addDialog(DialogNode *node)
{
    EditStep step(m_form.history(), QStringLiteral("Add dialog"));
    const QByteArray line = NodeText::joinLines(authorText(m_form.Memo1));
    m_form.Memo1->setPlainText(Ansi::toUnicode(line));
    DialogNode *dialog =
        DialogEdits(m_form.document())
            .addTextDialog(node, line,
                           m_form.RadioButton1->isChecked() ? DialogEdits::Speaker::Player
                                                            : DialogEdits::Speaker::Entity);
    // A new dialog is a change that no file holds yet: closing must ask.
    m_form.Modified = true;
    return dialog;
}

DialogNode *AddingCommands::addChoice(DialogNode *node)
{
    const QTreeWidget *table = m_form.ListView1;
    QList<DialogEdits::Answer> answers;
    for (int row = 0; row < table->topLevelItemCount(); ++row) {
        const QTreeWidgetItem *item = table->topLevelItem(row);
        answers.append({Ansi::fromUnicode(item->text(0)), Ansi::fromUnicode(item->text(1))});
    }
    DialogEdits::Outcome added;
    {
        EditStep step(m_form.history(), QStringLiteral("Add decision"));
        added = DialogEdits(m_form.document()).addChoiceDialog(node, answers);
    }
    if (!added.refusal.isEmpty()) {
        m_form.prompter().message(added.refusal);
        return nullptr;
    }
    m_form.Modified = true;
    return added.node;
}

DialogNode *AddingCommands::add(DialogNode *node)
{
    if (m_form.PlaceMode == QLatin1String("dialog"))
        return addDialog(node);
    return addChoice(node);
}

void AddingCommands::place(const DialogEdits::Placement &placement)
{
    EditStep step(m_form.history(), m_form.PlaceMode == QLatin1String("dialog")
                                        ? QStringLiteral("Add dialog")
                                        : QStringLiteral("Add decision"));
    DialogEdits(m_form.document()).addPlaced(placement, [this](DialogNode *node) {
        return add(node);
    });
}

void AddingCommands::preparePlacement(const QString &mode)
{
    m_form.PlaceMode = mode;
    // The list of choices is filled when the window shows; an addition at the end never shows
    // it, and filling it means a walk over the whole tree.
    m_placement.SpinEdit1->setMaximum(m_form.document().DialogCount());
}

void AddingCommands::SpeedButton7Click()
{
    preparePlacement(QStringLiteral("dialog"));
    if (m_form.CheckBox3->isChecked())
        addDialog(nullptr);
    else
        m_placement.exec();
}

void AddingCommands::SpeedButton11Click()
{
    // A choice dialog needs a dialog before it.
    const QString refusal = DialogEdits(m_form.document()).decisionRefusal();
    if (!refusal.isEmpty()) {
        m_form.prompter().message(refusal);
        return;
    }
    preparePlacement(QStringLiteral("choice"));
    if (m_form.CheckBox3->isChecked())
        addChoice(nullptr);
    else
        m_placement.exec();
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
