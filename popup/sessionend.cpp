#include "sessionend.h"

#ifdef Q_OS_WIN
#include <QCoreApplication>

#include <windows.h>
#else
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <cstdio>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#ifndef Q_OS_WIN
namespace {
// The handler may do almost nothing: it writes one byte, and the event loop reads it.
int g_signalPipe[2] = {-1, -1};
constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};

extern "C" void onTerminationSignal(int)
{
    const int savedErrno = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_signalPipe[0], &byte, 1);
    errno = savedErrno;
}
} // namespace
#endif

SessionEnd::SessionEnd(QObject *parent) : QObject(parent)
{
#ifdef Q_OS_WIN
    QCoreApplication::instance()->installNativeEventFilter(this);
#else
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) != 0) {
        std::perror("vexa: socketpair");
        return;
    }
    for (const int fd : g_signalPipe) {
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
        // A burst of signals must never block the handler, nor the reading.
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    }
    m_notifier = new QSocketNotifier(g_signalPipe[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SessionEnd::readSignals);

    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : kSignals)
        ::sigaction(signal, &action, nullptr);
#endif
}

SessionEnd::~SessionEnd()
{
#ifdef Q_OS_WIN
    if (QCoreApplication *app = QCoreApplication::instance())
        app->removeNativeEventFilter(this);
#else
    if (!m_notifier)
        return;
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (const int signal : kSignals)
        ::sigaction(signal, &action, nullptr);
    ::close(g_signalPipe[0]);
    ::close(g_signalPipe[1]);
    g_signalPipe[0] = g_signalPipe[1] = -1;
#endif
}

#ifdef Q_OS_WIN
bool SessionEnd::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType != "windows_generic_MSG")
        return false;
    const MSG *msg = static_cast<const MSG *>(message);
    if (msg->message == WM_ENDSESSION && msg->wParam)
        emit ending();
    return false;
}
#else
void SessionEnd::readSignals()
{
    char bytes[64];
    bool any = false;
    while (::read(g_signalPipe[1], bytes, sizeof bytes) > 0)
        any = true;
    if (any)
        emit ending();
}
#endif
