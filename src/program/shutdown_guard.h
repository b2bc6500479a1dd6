#pragma once

#include <QObject>

class QSocketNotifier;
class RecoveryController;

// Keeps unsaved work when the program is ended from outside: a SIGTERM or SIGHUP (a kill, a
// logout, a shutdown) and the session manager's request to save before the session ends write
// the recovery copy at once and keep it for the next start, which offers it as after a crash.
// A signal then ends the program.
class ShutdownGuard : public QObject
{
    Q_OBJECT
public:
    explicit ShutdownGuard(RecoveryController &recovery, QObject *parent = nullptr);
    ~ShutdownGuard() override;

private:
    void signalled();

    RecoveryController &m_recovery;
    QSocketNotifier *m_notifier = nullptr;
};
