// Stand-ins for the hook library, for the hook component's tests. One source, three builds:
//   fake/libHook.so    InitialisationHook accepts; records queued by the test are sent from a
//                      worker thread, which then waits for the reply like a plain blocking library
//   refuse/libHook.so  InitialisationHook refuses (returns 0)
//   noinit/libHook.so  no InitialisationHook at all
// Each build also exports FakeHook* functions through which a test drives it and reads what
// happened. The log is a sequence of words, each ended by ';':
//   init      InitialisationHook called         final     FinalisationHook called
//   send      a payload went to the program      reply=N   the program answered N
//   eof       the program shut its end while the worker waited for a reply
//   final-while-waiting   FinalisationHook came while the worker waited for a reply that then
//                         did not come: a real library would join a thread blocked for good

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

std::mutex g_lock;
std::condition_variable g_changed;
std::string g_log;
std::deque<std::vector<unsigned char>> g_queue;
int g_receiver = -1;
int g_initCount = 0;
int g_finalCount = 0;
bool g_stop = false;
bool g_waiting = false;
std::thread *g_worker = nullptr;

void Log(const std::string &word)
{
    g_log += word;
    g_log += ';';
    g_changed.notify_all();
}

// Sends the queued payloads one at a time, waiting after each for the reply. The wait looks at
// the stop flag every few milliseconds only so that a failing test ends instead of hanging.
[[maybe_unused]] void Work(int receiver)
{
    std::unique_lock<std::mutex> lock(g_lock);
    for (;;) {
        g_changed.wait(lock, [] { return g_stop || !g_queue.empty(); });
        if (g_stop)
            return;
        const std::vector<unsigned char> payload = g_queue.front();
        g_queue.pop_front();
        g_waiting = true;
        Log("send");
        lock.unlock();
        const ssize_t sent = ::send(receiver, payload.data(), payload.size(), MSG_NOSIGNAL);
        std::string outcome;
        while (sent >= 0) {
            pollfd fd{receiver, POLLIN, 0};
            if (::poll(&fd, 1, 20) <= 0) {
                const std::lock_guard<std::mutex> peek(g_lock);
                if (g_stop)
                    break;
                continue;
            }
            unsigned char reply[4] = {};
            const ssize_t got = ::recv(receiver, reply, sizeof reply, 0);
            if (got <= 0) {
                outcome = "eof";
                break;
            }
            uint32_t value = 0;
            std::memcpy(&value, reply, sizeof value);
            outcome = "reply=" + std::to_string(value);
            break;
        }
        lock.lock();
        g_waiting = false;
        if (!outcome.empty())
            Log(outcome);
    }
}

} // namespace

#ifndef FAKE_HOOK_NO_INIT
FAKE_EXPORT unsigned char InitialisationHook(int receiver)
{
    const std::lock_guard<std::mutex> guard(g_lock);
    ++g_initCount;
    g_receiver = receiver;
    Log("init");
#ifdef FAKE_HOOK_REFUSE
    return 0;
#else
    if (g_worker || receiver < 0 || ::fcntl(receiver, F_GETFD) == -1)
        return 0;
    g_stop = false;
    g_worker = new std::thread(Work, receiver);
    return 1;
#endif
}
#endif

FAKE_EXPORT void FinalisationHook(void)
{
    std::thread *worker = nullptr;
    {
        std::unique_lock<std::mutex> lock(g_lock);
        ++g_finalCount;
        // A reply already written is read at once; one that has not come within a second is
        // the program calling this before answering, which would block a real library for good.
        const bool answered =
            g_changed.wait_for(lock, std::chrono::seconds(1), [] { return !g_waiting; });
        Log(answered ? "final" : "final-while-waiting");
        g_stop = true;
        worker = g_worker;
        g_worker = nullptr;
        g_changed.notify_all();
    }
    if (worker) {
        worker->join();
        delete worker;
    }
}

// Queues a payload for the worker to send; 0 when the library is not running.
FAKE_EXPORT int FakeHookSend(const void *data, int size)
{
    const std::lock_guard<std::mutex> guard(g_lock);
    if (!g_worker || size < 0)
        return 0;
    const auto *bytes = static_cast<const unsigned char *>(data);
    g_queue.emplace_back(bytes, bytes + size);
    g_changed.notify_all();
    return 1;
}

// Copies the log into `out` (at most `size` bytes with the final zero); returns its length.
FAKE_EXPORT int FakeHookLog(char *out, int size)
{
    const std::lock_guard<std::mutex> guard(g_lock);
    if (out && size > 0) {
        const size_t n = std::min(g_log.size(), static_cast<size_t>(size - 1));
        std::memcpy(out, g_log.data(), n);
        out[n] = '\0';
    }
    return static_cast<int>(g_log.size());
}

FAKE_EXPORT int FakeHookInitCount()
{
    const std::lock_guard<std::mutex> guard(g_lock);
    return g_initCount;
}

FAKE_EXPORT int FakeHookFinalCount()
{
    const std::lock_guard<std::mutex> guard(g_lock);
    return g_finalCount;
}

// The descriptor the last InitialisationHook was given.
FAKE_EXPORT int FakeHookReceiver()
{
    const std::lock_guard<std::mutex> guard(g_lock);
    return g_receiver;
}

// Forgets the log and the counters; the library must not be running.
FAKE_EXPORT void FakeHookReset()
{
    const std::lock_guard<std::mutex> guard(g_lock);
    g_log.clear();
    g_queue.clear();
    g_receiver = -1;
    g_initCount = 0;
    g_finalCount = 0;
}
