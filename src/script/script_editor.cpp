#include "script_editor.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextBlock>

namespace {

// The number being typed after "Goto = ", "Delete = " or "Delete = C from ", at the end of what
// stands before the cursor.
const QRegularExpression &numberAfterAction()
{
    static const QRegularExpression pattern(
        QStringLiteral("^ *(?:Goto = |Delete = (?:\\d+ from )?)(\\d*)$"));
    return pattern;
}

} // namespace

ScriptEditor::ScriptEditor(QWidget *parent)
    : QPlainTextEdit(parent), m_completer(new QCompleter(this))
{
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setTabChangesFocus(false);
    m_completer->setWidget(this);
    m_completer->setCompletionMode(QCompleter::PopupCompletion);
    m_completer->setCompletionRole(Qt::UserRole);
    m_completer->setModelSorting(QCompleter::CaseSensitivelySortedModel);
    m_completer->setMaxVisibleItems(12);
    connect(m_completer, qOverload<const QString &>(&QCompleter::activated), this,
            &ScriptEditor::insertDialog);
}

void ScriptEditor::setDialogList(std::function<QAbstractItemModel *()> dialogs)
{
    m_dialogs = std::move(dialogs);
}

bool ScriptEditor::isShown(const QTextBlock &block) const
{
    const QRectF place = blockBoundingGeometry(block).translated(contentOffset());
    return place.bottom() >= 0 && place.top() <= viewport()->height();
}

bool ScriptEditor::event(QEvent *event)
{
    // With nothing typed to take back, Ctrl+Z is the document's undo.
    if (event->type() == QEvent::ShortcutOverride) {
        auto *key = static_cast<QKeyEvent *>(event);
        if ((key->matches(QKeySequence::Undo) && !document()->isUndoAvailable()) ||
            (key->matches(QKeySequence::Redo) && !document()->isRedoAvailable()) ||
            (key->key() == Qt::Key_Y && key->modifiers() == Qt::ControlModifier &&
             !document()->isRedoAvailable())) {
            event->ignore();
            return false;
        }
    }
    return QPlainTextEdit::event(event);
}

void ScriptEditor::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (m_completer->popup()->isVisible() &&
        (enter || event->key() == Qt::Key_Escape || event->key() == Qt::Key_Tab ||
         event->key() == Qt::Key_Backtab)) {
        // The list takes them.
        event->ignore();
        return;
    }
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (enter && modifiers == Qt::ControlModifier) {
        emit applyRequested();
        return;
    }
    if (enter && modifiers == Qt::NoModifier && continueDialog())
        return;
    if (event->key() == Qt::Key_Tab && modifiers == Qt::NoModifier) {
        shiftLines(true);
        return;
    }
    if (event->key() == Qt::Key_Backtab) {
        shiftLines(false);
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
    if (!event->text().isEmpty() || event->key() == Qt::Key_Backspace)
        offerDialogs();
}

bool ScriptEditor::continueDialog()
{
    QTextCursor cursor = textCursor();
    if (cursor.hasSelection() || !cursor.atBlockEnd())
        return false;
    static const QRegularExpression dialogLine(
        QStringLiteral("^( *)(?:Dialog\\d+ )?(Player|Entity):"));
    const QRegularExpressionMatch match = dialogLine.match(cursor.block().text());
    if (!match.hasMatch())
        return false;
    const QString other =
        match.captured(2) == u"Player" ? QStringLiteral("Entity") : QStringLiteral("Player");
    cursor.insertText(u'\n' + match.captured(1) + other + QStringLiteral(": "));
    setTextCursor(cursor);
    ensureCursorVisible();
    return true;
}

void ScriptEditor::shiftLines(bool in)
{
    QTextCursor cursor = textCursor();
    QTextBlock block = document()->findBlock(cursor.selectionStart());
    const QTextBlock last = document()->findBlock(cursor.selectionEnd());
    QTextCursor edit(document());
    edit.beginEditBlock();
    for (;; block = block.next()) {
        edit.setPosition(block.position());
        if (in) {
            edit.insertText(QStringLiteral("  "));
        } else {
            const QString text = block.text();
            const int blanks = text.startsWith(QStringLiteral("  ")) ? 2 : text.startsWith(u' ');
            edit.setPosition(block.position() + blanks, QTextCursor::KeepAnchor);
            edit.removeSelectedText();
        }
        if (block == last)
            break;
    }
    edit.endEditBlock();
}

void ScriptEditor::offerDialogs()
{
    const QTextCursor cursor = textCursor();
    const QRegularExpressionMatch match =
        numberAfterAction().match(cursor.block().text().left(cursor.positionInBlock()));
    if (!match.hasMatch() || !m_dialogs) {
        m_completer->popup()->hide();
        return;
    }
    if (QAbstractItemModel *dialogs = m_dialogs(); m_completer->model() != dialogs)
        m_completer->setModel(dialogs);
    m_completer->setCompletionPrefix(match.captured(1));
    if (m_completer->completionCount() == 0) {
        m_completer->popup()->hide();
        return;
    }
    m_completer->popup()->setCurrentIndex(m_completer->completionModel()->index(0, 0));
    QRect place = cursorRect();
    place.setWidth(m_completer->popup()->sizeHintForColumn(0) +
                   m_completer->popup()->verticalScrollBar()->sizeHint().width());
    m_completer->complete(place);
}

void ScriptEditor::insertDialog(const QString &number)
{
    QTextCursor cursor = textCursor();
    const QRegularExpressionMatch match =
        numberAfterAction().match(cursor.block().text().left(cursor.positionInBlock()));
    if (!match.hasMatch())
        return;
    cursor.movePosition(QTextCursor::Left, QTextCursor::KeepAnchor, int(match.capturedLength(1)));
    cursor.insertText(number);
    setTextCursor(cursor);
}
