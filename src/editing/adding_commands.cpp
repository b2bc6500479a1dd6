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
#include <algorithm>

namespace {

// The Enter key, from the main keyboard or the keypad.
bool isEnter(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// The text box's text as the author's lines: the box gives line feeds, the document wants every
// line ended by a carriage return and a line feed.
QString authorLines(const QPlainTextEdit *memo)
{
    // The raw text keeps no-break spaces, which the plain text turns into blanks; its
    // paragraphs are separated by U+2029.
    QString text = memo->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return text;
}

QByteArray authorText(const QPlainTextEdit *memo)
{
    return Ansi::fromUnicode(authorLines(memo));
}

} // namespace

AddingCommands::AddingCommands(MainWindow &window, PlacementWindow &placement)
    : QObject(&window), m_window(window), m_placement(placement)
{
    setObjectName(QStringLiteral("AddingCommands"));
    auto guarded = [this](void (AddingCommands::*command)()) {
        return [this, command] { m_window.guarded([this, command] { (this->*command)(); }); };
    };
    connect(window.addDialogButton, &QToolButton::clicked, this,
            guarded(&AddingCommands::addOrPlaceDialog));
    connect(window.addDecisionButton, &QToolButton::clicked, this,
            guarded(&AddingCommands::addOrPlaceDecision));
    connect(window.addAnswerButton, &QToolButton::clicked, this,
            guarded(&AddingCommands::addAnswer));
    connect(window.removeAnswerButton, &QToolButton::clicked, this,
            guarded(&AddingCommands::removeSelectedAnswer));
    connect(window.clearAnswersButton, &QToolButton::clicked, this,
            guarded(&AddingCommands::clearAnswers));
    connect(&placement, &PlacementWindow::placementChosen, this,
            [this](const DialogEdits::Placement &where) {
                m_window.guarded([this, &where] { place(where); });
            });
    window.answerTextField->installEventFilter(this);
}

DialogNode *AddingCommands::addDialog(DialogNode *node)
{
    EditStep step(m_window.history(), QStringLiteral("Add dialog"));
    const QByteArray line = NodeText::joinLines(authorText(m_window.dialogTextEdit));
    m_window.dialogTextEdit->setPlainText(Ansi::toUnicode(line));
    DialogNode *dialog = DialogEdits(m_window.document())
                             .addTextDialog(node, line,
                                            m_window.playerSpeakingRadio->isChecked()
                                                ? DialogEdits::Speaker::Player
                                                : DialogEdits::Speaker::Entity);
    // A new dialog is a change that no file holds yet: closing must ask.
    m_window.Modified = true;
    return dialog;
}

DialogNode *AddingCommands::addChoice(DialogNode *node)
{
    const QTreeWidget *table = m_window.answerTable;
    QList<DialogEdits::Answer> answers;
    for (int row = 0; row < table->topLevelItemCount(); ++row) {
        const QTreeWidgetItem *item = table->topLevelItem(row);
        answers.append({Ansi::fromUnicode(item->text(0)), Ansi::fromUnicode(item->text(1))});
    }
    DialogEdits::Outcome added;
    {
        EditStep step(m_window.history(), QStringLiteral("Add decision"));
        added = DialogEdits(m_window.document()).addChoiceDialog(node, answers);
    }
    if (!added.refusal.isEmpty()) {
        m_window.prompter().message(added.refusal);
        return nullptr;
    }
    m_window.Modified = true;
    return added.node;
}

DialogNode *AddingCommands::add(DialogNode *node)
{
    if (m_window.PlaceMode == QLatin1String("dialog"))
        return addDialog(node);
    return addChoice(node);
}

void AddingCommands::place(const DialogEdits::Placement &placement)
{
    const bool dialog = m_window.PlaceMode == QLatin1String("dialog");
    DialogEdits::Outcome placed;
    {
        EditStep step(m_window.history(),
                      dialog ? QStringLiteral("Add dialog") : QStringLiteral("Add decision"));
        // A text dialog's nodes reach one level below it, a choice dialog's answers two.
        placed = DialogEdits(m_window.document())
                     .addPlaced(placement, dialog ? 1 : 2,
                                [this](DialogNode *node) { return add(node); });
    }
    // A refusal is shown with no step open: it changed nothing.
    if (!placed.refusal.isEmpty())
        m_window.prompter().message(placed.refusal);
}

void AddingCommands::preparePlacement(const QString &mode)
{
    m_window.PlaceMode = mode;
    // The list of choices is filled when the window shows; an addition at the end never shows
    // it, and filling it means a walk over the whole tree.
    m_placement.dialogNumberField->setMaximum(m_window.document().DialogCount());
}

void AddingCommands::addOrPlaceDialog()
{
    if (m_window.prompter().refuseUnrepresentable(authorLines(m_window.dialogTextEdit)))
        return;
    preparePlacement(QStringLiteral("dialog"));
    if (m_window.addAtEndCheck->isChecked())
        addDialog(nullptr);
    else
        m_placement.exec();
}

void AddingCommands::addOrPlaceDecision()
{
    // A choice dialog needs a dialog before it.
    const QString refusal = DialogEdits(m_window.document()).decisionRefusal();
    if (!refusal.isEmpty()) {
        m_window.prompter().message(refusal);
        return;
    }
    const QTreeWidget *table = m_window.answerTable;
    for (int row = 0; row < table->topLevelItemCount(); ++row) {
        if (m_window.prompter().refuseUnrepresentable(table->topLevelItem(row)->text(1)))
            return;
    }
    preparePlacement(QStringLiteral("choice"));
    if (m_window.addAtEndCheck->isChecked())
        addChoice(nullptr);
    else
        m_placement.exec();
}

void AddingCommands::addAnswer()
{
    if (m_window.prompter().refuseUnrepresentable(m_window.answerTextField->text()))
        return;
    QTreeWidget *table = m_window.answerTable;
    // One more than the highest number in the table: a removal leaves a gap, never a repeat,
    // which a "Delete = C from N" could not tell apart.
    int highest = 0;
    for (int row = 0; row < table->topLevelItemCount(); ++row)
        highest = std::max(highest, table->topLevelItem(row)->text(0).toInt());
    auto *item = new QTreeWidgetItem(table);
    item->setText(0, QString::number(highest + 1));
    item->setText(1, m_window.answerTextField->text());
}

void AddingCommands::addAnswerOnEnter(int key)
{
    if (!isEnter(key))
        return;
    addAnswer();
    // The next answer typed replaces this one.
    m_window.answerTextField->selectAll();
}

void AddingCommands::removeSelectedAnswer()
{
    if (!m_window.prompter().confirm(QStringLiteral("Delete selected choice?")))
        return;
    QTreeWidget *table = m_window.answerTable;
    const QList<QTreeWidgetItem *> selected = table->selectedItems();
    if (!selected.isEmpty())
        delete selected.first();
}

void AddingCommands::clearAnswers()
{
    m_window.answerTable->clear();
}

bool AddingCommands::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_window.answerTextField)
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
            m_window.guarded([this, key] { addAnswerOnEnter(key->key()); });
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
