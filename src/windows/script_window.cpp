#include "script_window.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

TForm3::TForm3(QWidget *parent) : QWidget(parent, Qt::Window), m_text(new QPlainTextEdit(this))
{
    setObjectName(QStringLiteral("TForm3"));
    setWindowTitle(QStringLiteral("Talmero"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_text);
    resize(480, 360);
}
