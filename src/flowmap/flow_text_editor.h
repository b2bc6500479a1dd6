#pragma once

#include <QPlainTextEdit>

// The box that edits a dialog's text (or an answer's) in place on the flow map: several lines
// (Shift+Enter breaks a line), Enter commits, Escape cancels, and leaving it commits too.
class FlowTextEditor : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit FlowTextEditor(QWidget *parent = nullptr);

    // Shows text over area (viewport coordinates), all of it selected, and takes the focus.
    void open(const QString &text, const QRect &area);

signals:
    void committed(const QString &text);
    void cancelled();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void close(bool commit);
};
