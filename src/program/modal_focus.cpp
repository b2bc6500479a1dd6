#include "modal_focus.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

ModalFocus::ModalFocus(QWidget *mainWindow) : QObject(mainWindow), m_mainWindow(mainWindow) {}

bool ModalFocus::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Hide && watched->isWidgetType()) {
        const auto *widget = static_cast<QWidget *>(watched);
        // The hidden window is still the active modal one here: look once it is gone.
        if (widget->isWindow() && widget->isModal())
            QTimer::singleShot(0, this, &ModalFocus::restore);
    }
    return QObject::eventFilter(watched, event);
}

void ModalFocus::restore()
{
    QWidget *target = QApplication::activeModalWidget();
    if (!target)
        target = m_mainWindow;
    if (target && target->isVisible() && !target->isActiveWindow())
        target->activateWindow();
}
