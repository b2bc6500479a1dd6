#include "font_preview_window.h"

#include <QLabel>
#include <QVBoxLayout>

TForm6::TForm6(QWidget *parent) : QWidget(parent, Qt::Window), m_image(new QLabel(this))
{
    setObjectName(QStringLiteral("TForm6"));
    setWindowTitle(QStringLiteral("Font preview"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_image);
    resize(480, 200);
}
