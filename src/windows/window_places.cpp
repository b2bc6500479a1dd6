#include "window_places.h"

#include "platform/user_settings.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace {

// Watches one window and writes its place when that changed.
class PlaceKeeper : public QObject
{
public:
    explicit PlaceKeeper(QWidget *window)
        : QObject(window), m_window(window),
          m_key(QStringLiteral("Windows/") + window->objectName())
    {
        m_stored = UserSettings::open()->value(m_key).toByteArray();
        if (!m_stored.isEmpty())
            window->restoreGeometry(m_stored);
        window->installEventFilter(this);
        // Tool windows are still open when the main window's closing ends the program.
        connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this,
                &PlaceKeeper::write);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != m_window)
            return false;
        if (event->type() == QEvent::Show && !m_ready) {
            // Without a stored place, the one it opened at, once the window system put it there.
            QTimer::singleShot(0, this, [this] {
                if (m_stored.isEmpty())
                    m_stored = m_window->saveGeometry();
                m_ready = true;
            });
        } else if (event->type() == QEvent::Hide) {
            write();
        }
        return false;
    }

private:
    void write()
    {
        if (!m_ready)
            return;
        const QByteArray place = m_window->saveGeometry();
        if (place == m_stored)
            return;
        UserSettings::open()->setValue(m_key, place);
        m_stored = place;
    }

    QWidget *m_window;
    QString m_key;
    // The place in the settings, or the one the window first opened at while there is none.
    QByteArray m_stored;
    bool m_ready = false;
};

} // namespace

namespace WindowPlaces {

void keep(QWidget *window)
{
    new PlaceKeeper(window);
}

} // namespace WindowPlaces
