#include "FinSession.h"

#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int g_tube[2] = {-1, -1}; // written by the signal handler, which may do nothing else

void surSignal(int sig) {
    const unsigned char c = static_cast<unsigned char>(sig);
    [[maybe_unused]] ssize_t n = ::write(g_tube[0], &c, 1);
}

} // namespace

FinSession::FinSession(QObject* parent) : QObject(parent) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_tube) != 0)
        return;
    m_notifier = std::make_unique<QSocketNotifier>(g_tube[1], QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, [this] {
        unsigned char c = 0;
        while (::read(g_tube[1], &c, 1) == 1)
            emit finDemandee(c);
    });
    struct sigaction sa = {};
    sa.sa_handler = surSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int s : {SIGTERM, SIGHUP, SIGINT})
        ::sigaction(s, &sa, nullptr);
}

FinSession::~FinSession() {
    struct sigaction sa = {};
    sa.sa_handler = SIG_DFL;
    for (int s : {SIGTERM, SIGHUP, SIGINT})
        ::sigaction(s, &sa, nullptr);
    m_notifier.reset();
    for (int& fd : g_tube) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}
