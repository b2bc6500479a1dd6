#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;
class RecoveryController;

// Keeps unsaved work when the program is ended from outside: a SIGTERM or SIGHUP (a kill, a
// logout, a shutdown) and the session manager's request to save before the session ends write
// the recovery copy at once and keep it for the next start, which offers it as after a crash.
// A signal then ends the program at once, whatever window or question is open: a question it
// interrupted is never taken for the author's answer. When the copy cannot be written the
// program goes on and says why, so that the author can still save.
class ShutdownGuard : public QObject
{
    Q_OBJECT
public:
    // How the program ends after a signal once its work is kept: by default, the signal's own
    // default action (the tests put something else in its place).
    using End = std::function<void(int signal)>;

    explicit ShutdownGuard(RecoveryController &recovery, End end = {}, QObject *parent = nullptr);
    ~ShutdownGuard() override;

private:
    void signalled();

    RecoveryController &m_recovery;
    End m_end;
    QSocketNotifier *m_notifier = nullptr;
};
