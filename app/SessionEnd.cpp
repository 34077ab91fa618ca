#include "app/SessionEnd.h"

#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int g_pipe[2] = {-1, -1};
struct sigaction g_oldTerm, g_oldHup;

extern "C" void noteSignal(int signal) {
    const char c = char(signal);
    [[maybe_unused]] const auto written = ::write(g_pipe[1], &c, 1);
}
} // namespace

SessionEnd::SessionEnd(QObject* parent) : QObject(parent) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_pipe) != 0)
        return;
    for (int fd : g_pipe)
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SessionEnd::readSignal);
    struct sigaction sa = {};
    sa.sa_handler = noteSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &sa, &g_oldTerm);
    ::sigaction(SIGHUP, &sa, &g_oldHup);
}

SessionEnd::~SessionEnd() {
    if (!m_notifier)
        return;
    ::sigaction(SIGTERM, &g_oldTerm, nullptr);
    ::sigaction(SIGHUP, &g_oldHup, nullptr);
    delete m_notifier;
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

void SessionEnd::readSignal() {
    char c;
    bool any = false;
    while (::read(g_pipe[0], &c, 1) == 1)
        any = true;
    if (any)
        emit ending();
}

#else

// Elsewhere the platform's session manager closes the main window.
SessionEnd::SessionEnd(QObject* parent) : QObject(parent) {}
SessionEnd::~SessionEnd() = default;
void SessionEnd::readSignal() {}

#endif
