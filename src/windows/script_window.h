#pragma once

#include <QWidget>

class QPlainTextEdit;

// A plain text window for script files. No command shows it.
class TForm3 : public QWidget
{
    Q_OBJECT
public:
    explicit TForm3(QWidget *parent = nullptr);

private:
    QPlainTextEdit *m_text;
};
