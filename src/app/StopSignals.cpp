#include "StopSignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace jov {

namespace {

int s_pipe[2] = {-1, -1};
constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};

void OnSignal(int signal)
{
    const int saved = errno;
    const char number = char(signal);
    // Nothing else is safe here; a full pipe already holds a wake-up.
    (void)!::write(s_pipe[1], &number, 1);
    errno = saved;
}

} // namespace

TStopSignals::TStopSignals(std::function<void()> onStop, QObject *parent)
    : QObject(parent), m_onStop(std::move(onStop))
{
    if (::pipe2(s_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    m_notifier = new QSocketNotifier(s_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TStopSignals::readSignal);
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : kSignals)
        ::sigaction(signal, &action, nullptr);
}

TStopSignals::~TStopSignals()
{
    for (const int signal : kSignals)
        ::signal(signal, SIG_DFL);
    // The notifier goes before the descriptor it watches.
    delete m_notifier;
    m_notifier = nullptr;
    for (int &end : s_pipe) {
        if (end >= 0)
            ::close(end);
        end = -1;
    }
}

void TStopSignals::readSignal()
{
    char numbers[16];
    while (::read(s_pipe[0], numbers, sizeof numbers) > 0) {
    }
    if (m_stopped)
        return;
    m_stopped = true;
    if (m_onStop)
        m_onStop();
}

} // namespace jov
