#include "flow_text_editor.h"

#include <QKeyEvent>

FlowTextEditor::FlowTextEditor(QWidget *parent) : QPlainTextEdit(parent)
{
    setObjectName(QStringLiteral("FlowMapTextEditor"));
    setTabChangesFocus(true);
    setFrameShape(QFrame::Box);
    hide();
}

void FlowTextEditor::open(const QString &text, const QRect &area)
{
    setPlainText(text);
    selectAll();
    setGeometry(area);
    show();
    raise();
    setFocus(Qt::OtherFocusReason);
}

void FlowTextEditor::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && !(event->modifiers() & Qt::ShiftModifier)) {
        close(true);
        return;
    }
    if (enter) {
        insertPlainText(QStringLiteral("\n"));
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        close(false);
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void FlowTextEditor::focusOutEvent(QFocusEvent *event)
{
    QPlainTextEdit::focusOutEvent(event);
    // A context menu of the box's own (spelling) keeps it open.
    if (isVisible() && event->reason() != Qt::PopupFocusReason)
        close(true);
}

void FlowTextEditor::close(bool commit)
{
    if (!isVisible())
        return;
    hide();
    if (commit)
        emit committed(toPlainText());
    else
        emit cancelled();
}
