#include "close_controls.h"

#include <QBoxLayout>
#include <QPushButton>
#include <QShortcut>

QPushButton *addCloseControls(QWidget *window, QBoxLayout *row)
{
    auto *button = new QPushButton(QStringLiteral("Close"), window);
    button->setObjectName(QStringLiteral("CloseButton"));
    row->addWidget(button);
    QObject::connect(button, &QPushButton::clicked, window, &QWidget::close);
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), window);
    QObject::connect(escape, &QShortcut::activated, window, &QWidget::close);
    return button;
}
