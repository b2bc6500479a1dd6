#include "shutdown_guard.h"

#include "persistence/recovery_controller.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace {

#ifdef Q_OS_UNIX
// The handler may only write to a descriptor; the notifier brings the news to the event loop.
int signalPipe[2] = {-1, -1};

// The signal's number goes through the pipe: the end repeats it.
void onSignal(int signal)
{
    const char byte = char(signal);
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[0], &byte, 1);
}

void endBySignal(int signal)
{
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}
#endif

} // namespace

ShutdownGuard::ShutdownGuard(RecoveryController &recovery, End end, QObject *parent)
    : QObject(parent), m_recovery(recovery), m_end(std::move(end))
{
#ifdef Q_OS_UNIX
    if (!m_end)
        m_end = endBySignal;
#endif
    if (auto *application = qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        connect(application, &QGuiApplication::commitDataRequest, this,
                [this](QSessionManager &) { m_recovery.keepForNextStart(); });
    }
#ifdef Q_OS_UNIX
    if (signalPipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return;
    m_notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &ShutdownGuard::signalled);
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
#endif
}

ShutdownGuard::~ShutdownGuard()
{
#ifdef Q_OS_UNIX
    if (m_notifier) {
        signal(SIGTERM, SIG_DFL);
        signal(SIGHUP, SIG_DFL);
    }
#endif
}

void ShutdownGuard::signalled()
{
#ifdef Q_OS_UNIX
    char byte = 0;
    if (::read(signalPipe[1], &byte, 1) != 1)
        return;
    // Not QCoreApplication::exit: that would end an open question's event loop as if the
    // author had answered it, and the command that asked would go on.
    if (m_recovery.keepForEnd().isEmpty())
        m_end(byte);
#endif
}
