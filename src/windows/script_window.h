#pragma once

#include <QWidget>

class QPlainTextEdit;

// A plain text window for script files. No command shows it.
class ScriptWindow : public QWidget
{
    Q_OBJECT
public:
    explicit ScriptWindow(QWidget *parent = nullptr);

private:
    QPlainTextEdit *m_text;
};
