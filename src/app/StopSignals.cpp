#include "StopSignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace jov {

namespace {

int s_pipe[2] = {-1, -1};

void OnSignal(int signal)
{
    const int saved = errno;
    const char number = char(signal);
    // Nothing else is safe here; a full pipe already holds a wake-up.
    (void)!::write(s_pipe[1], &number, 1);
    errno = saved;
}

// Whether the program was started with the signal ignored.
bool InheritedIgnored(int signal)
{
    struct sigaction current = {};
    return ::sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_IGN;
}

} // namespace

void CatchStopSignals()
{
    if (s_pipe[0] >= 0 || ::pipe2(s_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    // Whoever started the program with SIGHUP or SIGINT ignored wants it to outlive the terminal
    // or the terminal's Ctrl+C; SIGTERM is the request to stop itself.
    for (const int signal : {SIGTERM, SIGHUP, SIGINT}) {
        if (signal == SIGTERM || !InheritedIgnored(signal))
            ::sigaction(signal, &action, nullptr);
    }
}

TStopSignals::TStopSignals(std::function<void()> onStop, QObject *parent)
    : QObject(parent), m_onStop(std::move(onStop))
{
    CatchStopSignals();
    if (s_pipe[0] < 0)
        return;
    m_notifier = new QSocketNotifier(s_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TStopSignals::readSignal);
}

// The handlers stay: a stop while the program ends goes into the pipe and is not acted on.
TStopSignals::~TStopSignals() = default;

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
