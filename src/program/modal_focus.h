#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

// Gives the keyboard back when a modal window closes. A window manager activates the window
// below; without one the focus is left nowhere and the author's next key goes to no window.
// Installed on the application, it activates the modal window still open, or else the main
// window, once a modal window has been hidden.
class ModalFocus : public QObject
{
    Q_OBJECT
public:
    explicit ModalFocus(QWidget *mainWindow);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void restore();

    QPointer<QWidget> m_mainWindow;
};
