// The X11 mouse hook library (libHook.so), loaded by the program at run time. What it sends and
// when is described in hook/HookWire.h.
//
// InitialisationHook(receiver) opens a connection of its own to the program's display and
// starts a thread that listens to the raw pointer events of the whole display (XInput 2 raw
// motion and button events on the root window, all master pointers). X and Y of a record are a
// position on the root window of the screen the pointer is on; HandleWindow is the top-level
// window under it. Raw events carry no position: a button's is read by a pointer query as soon
// as its event is read (the display is read while the program answers earlier records too), and
// the relative motions the server made between the event and that query are taken back, so a
// release reports where the button came up even when the mouse moves on at once. A move reports
// where the pointer is when the record is sent. Buttons 1, 3 and 2 give the left, right and
// middle messages, buttons 8 and 9 the X buttons; the wheel (buttons 4 and 5) gives one wheel
// message per notch, on the press only.
//
// The reply cannot stop anything: raw events are copies, the server has already delivered the
// real event. Moves that pile up while the program is busy are sent as one record.
//
// FinalisationHook() wakes and joins the thread and closes the connection. The thread also
// ends by itself when the program closes or shuts its end of the socket, or when the display
// connection breaks. The library never grabs anything, so however slow the program is, the
// server and the other clients go on undisturbed. The receiving descriptor stays the
// program's: the library never closes it.

#include "hook/HookWire.h"

#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>

#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#define HOOK_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

using namespace jov::hookwire;

struct Message
{
    int32_t msg = 0;
    uint32_t extraInfo = 0;
};

// Everything below is touched only under g_lock, by InitialisationHook and FinalisationHook.
// Plain pointers on purpose: no static destructor may run against a live thread at unload.
std::mutex g_lock;
std::thread *g_thread = nullptr;
Display *g_display = nullptr;
int g_wake = -1;
// Set from the display's I/O error exit handler, read by the thread that made the call.
std::atomic<bool> g_connectionLost{false};

void OnConnectionLost(Display *, void *)
{
    // Replaces Xlib's default, which would exit the whole program from this library's thread.
    g_connectionLost = true;
}

// The message for one raw event; false when the event is not reported.
bool MessageFor(int evtype, int button, Message &out)
{
    if (evtype == XI_RawMotion) {
        out = {MouseMove, 0};
        return true;
    }
    const bool press = evtype == XI_RawButtonPress;
    if (!press && evtype != XI_RawButtonRelease)
        return false;
    switch (button) {
    case 1:
        out = {press ? LButtonDown : LButtonUp, 0};
        return true;
    case 2:
        out = {press ? MButtonDown : MButtonUp, 0};
        return true;
    case 3:
        out = {press ? RButtonDown : RButtonUp, 0};
        return true;
    case 4:
    case 5:
        if (!press)
            return false;
        out = {MouseWheel, button == 4 ? WheelUpExtraInfo : WheelDownExtraInfo};
        return true;
    case 8:
    case 9:
        out = {press ? XButtonDown : XButtonUp, 0};
        return true;
    default:
        return false;
    }
}

// A record waiting for its turn: the program answers one record before it gets the next.
struct Pending
{
    Message message;
    // A button's position is read as soon as its event is read (`placed`); a move's when it is
    // sent, the latest one.
    bool placed = false;
    double x = 0;
    double y = 0;
    Window child = 0;
    // The serial of the pointer query that placed it: a relative motion with a smaller serial
    // was made after the button event and before the query, and is taken back.
    unsigned long query = 0;
};

struct Where
{
    int x = 0;
    int y = 0;
    Window child = 0;
};

// Where the pointer is now, on the root of the screen it is on.
Where QueryPointer(Display *display)
{
    Window root = 0;
    Where where;
    int winX = 0;
    int winY = 0;
    unsigned int mask = 0;
    XQueryPointer(display, DefaultRootWindow(display), &root, &where.child, &where.x, &where.y,
                  &winX, &winY, &mask);
    return where;
}

class Listener
{
public:
    Listener(Display *display, int xiOpcode, int receiver, int wake)
        : m_display(display), m_xiOpcode(xiOpcode), m_receiver(receiver), m_wake(wake)
    {
    }

    // Until finalisation, the program's hang-up or a broken display connection. The display is
    // read while the program answers, so that a button's position is read at once.
    void run()
    {
        const int connection = ConnectionNumber(m_display);
        bool awaiting = false;
        for (;;) {
            readEvents();
            if (g_connectionLost)
                return;
            if (!awaiting && !m_queue.empty()) {
                const Pending next = m_queue.front();
                m_queue.pop_front();
                const Sent sent = send(next);
                if (sent == Sent::Stop)
                    return;
                awaiting = sent == Sent::Yes;
                continue; // the query may have brought events
            }
            pollfd fds[3] = {{connection, POLLIN, 0}, {m_wake, POLLIN, 0}, {m_receiver, POLLIN, 0}};
            if (::poll(fds, 3, -1) < 0) {
                if (errno == EINTR)
                    continue;
                return;
            }
            if (fds[1].revents || (fds[0].revents & (POLLERR | POLLNVAL)))
                return;
            if (fds[2].revents & POLLIN) {
                // The reply, or something sent outside a reply, which is dropped.
                unsigned char reply[64];
                const ssize_t got = ::recv(m_receiver, reply, sizeof reply, MSG_DONTWAIT);
                if (got == 0)
                    return; // end of file: the program shut its end
                if (got > 0)
                    awaiting = false;
                else if (errno != EAGAIN && errno != EINTR)
                    return;
            } else if (fds[2].revents & (POLLHUP | POLLERR | POLLNVAL)) {
                return;
            }
        }
    }

private:
    enum class Sent { Yes, Dropped, Stop };

    void readEvents()
    {
        while (!g_connectionLost && XPending(m_display) > 0) {
            XEvent event;
            XNextEvent(m_display, &event);
            XGenericEventCookie *cookie = &event.xcookie;
            if (cookie->type != GenericEvent || cookie->extension != m_xiOpcode ||
                !XGetEventData(m_display, cookie))
                continue;
            const auto *raw = static_cast<const XIRawEvent *>(cookie->data);
            if (cookie->evtype == XI_RawMotion)
                takeBack(*raw, cookie->serial);
            Message message;
            const bool reported = MessageFor(cookie->evtype, raw->detail, message);
            XFreeEventData(m_display, cookie);
            if (!reported)
                continue;
            if (message.msg == MouseMove) {
                // Moves that pile up while the program is busy make one record.
                if (m_queue.empty() || m_queue.back().message.msg != MouseMove)
                    m_queue.push_back({message});
                continue;
            }
            Pending button{message, true};
            button.query = NextRequest(m_display);
            const Where where = QueryPointer(m_display);
            button.x = where.x;
            button.y = where.y;
            button.child = where.child;
            m_queue.push_back(button);
        }
    }

    // A relative motion made after a button event but before the query that read its position
    // moved the pointer away from where the button went down or came up: its step is taken
    // back. (An absolute device's motion cannot be taken back; a warp raises no raw event.)
    void takeBack(const XIRawEvent &motion, unsigned long serial)
    {
        if (!movesRelatively(motion.sourceid))
            return;
        double step[2] = {0, 0};
        const double *value = motion.valuators.values;
        for (int axis = 0; axis < motion.valuators.mask_len * 8; ++axis) {
            if (!XIMaskIsSet(motion.valuators.mask, axis))
                continue;
            if (axis < 2)
                step[axis] = *value;
            ++value;
        }
        for (auto it = m_queue.rbegin(); it != m_queue.rend(); ++it) {
            if (!it->placed)
                continue;
            if (it->query <= serial)
                break;
            it->x -= step[0];
            it->y -= step[1];
        }
    }

    bool movesRelatively(int device)
    {
        for (const auto &[id, relative] : m_devices) {
            if (id == device)
                return relative;
        }
        bool relative = false;
        int count = 0;
        if (XIDeviceInfo *info = XIQueryDevice(m_display, device, &count)) {
            for (int c = 0; count > 0 && c < info->num_classes; ++c) {
                const XIAnyClassInfo *any = info->classes[c];
                if (any->type == XIValuatorClass)
                    relative =
                        reinterpret_cast<const XIValuatorClassInfo *>(any)->mode == XIModeRelative;
            }
            XIFreeDeviceInfo(info);
        }
        m_devices.emplace_back(device, relative);
        return relative;
    }

    Sent send(const Pending &pending)
    {
        Where where{static_cast<int>(std::lround(pending.x)),
                    static_cast<int>(std::lround(pending.y)), pending.child};
        if (!pending.placed)
            where = QueryPointer(m_display);
        if (g_connectionLost)
            return Sent::Stop;
        const auto record =
            Encode({pending.message.msg, where.x, where.y, static_cast<uint32_t>(where.child),
                    HitClient, pending.message.extraInfo});
        const ssize_t sent =
            ::send(m_receiver, record.data(), record.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
        if (sent == static_cast<ssize_t>(record.size()))
            return Sent::Yes;
        // A full queue cannot happen with one record in flight; if it does, drop the record
        // rather than block.
        if (sent < 0 && (errno == EAGAIN || errno == EINTR))
            return Sent::Dropped;
        return Sent::Stop;
    }

    Display *m_display;
    int m_xiOpcode;
    int m_receiver;
    int m_wake;
    std::deque<Pending> m_queue;
    // Whether each pointer device seen so far moves relatively.
    std::vector<std::pair<int, bool>> m_devices;
};

void Run(Display *display, int xiOpcode, int receiver, int wake)
{
    // Named, so that its share of the program's time can be told apart (bench/pipette.sh).
    pthread_setname_np(pthread_self(), "jov-hook");
    Listener(display, xiOpcode, receiver, wake).run();
}

bool IsMessageSocket(int fd)
{
    if (fd < 0 || ::fcntl(fd, F_GETFD) == -1)
        return false;
    int type = 0;
    socklen_t length = sizeof type;
    return ::getsockopt(fd, SOL_SOCKET, SO_TYPE, &type, &length) == 0 && type == SOCK_SEQPACKET;
}

// The display with XInput 2 raw pointer events selected on its root; null when unavailable.
Display *OpenDisplay(int &xiOpcode)
{
    // The program names the display its windows are on; DISPLAY may name another one.
    const char *name = std::getenv(DisplayVariable);
    if (!name || !*name)
        name = std::getenv("DISPLAY");
    if (!name || !*name)
        return nullptr;
    // A server that has just seen many connections come and go can refuse a new one for a few
    // milliseconds while it tidies up: try again briefly before giving up.
    Display *display = nullptr;
    for (int attempt = 0; attempt < 5 && !display; ++attempt) {
        if (attempt > 0)
            ::usleep(10000);
        display = XOpenDisplay(name);
    }
    if (!display)
        return nullptr;
    XSetIOErrorExitHandler(display, OnConnectionLost, nullptr);
    int firstEvent = 0;
    int firstError = 0;
    // Version 2.1 and later deliver raw events even while another client grabs the pointer,
    // which a pressed button does; 2.0 is still usable outside grabs.
    if (!XQueryExtension(display, "XInputExtension", &xiOpcode, &firstEvent, &firstError)) {
        XCloseDisplay(display);
        return nullptr;
    }
    // An older server answers with its own version instead of Success; 2.0 is enough.
    int major = 2;
    int minor = 2;
    XIQueryVersion(display, &major, &minor);
    if (major < 2) {
        XCloseDisplay(display);
        return nullptr;
    }
    unsigned char bits[XIMaskLen(XI_RawMotion)] = {};
    XISetMask(bits, XI_RawButtonPress);
    XISetMask(bits, XI_RawButtonRelease);
    XISetMask(bits, XI_RawMotion);
    XIEventMask mask{XIAllMasterDevices, static_cast<int>(sizeof bits), bits};
    XISelectEvents(display, DefaultRootWindow(display), &mask, 1);
    XSync(display, False);
    return display;
}

} // namespace

HOOK_EXPORT unsigned char InitialisationHook(int receiver) noexcept
{
    try {
        const std::lock_guard<std::mutex> guard(g_lock);
        if (g_thread || !IsMessageSocket(receiver))
            return 0;
        g_connectionLost = false;
        int xiOpcode = 0;
        Display *display = OpenDisplay(xiOpcode);
        if (!display)
            return 0;
        const int wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        if (wake < 0) {
            XCloseDisplay(display);
            return 0;
        }
        try {
            g_thread = new std::thread(Run, display, xiOpcode, receiver, wake);
        } catch (...) {
            ::close(wake);
            XCloseDisplay(display);
            return 0;
        }
        g_display = display;
        g_wake = wake;
        return 1;
    } catch (...) {
        return 0;
    }
}

HOOK_EXPORT void FinalisationHook(void) noexcept
{
    try {
        const std::lock_guard<std::mutex> guard(g_lock);
        if (!g_thread)
            return;
        const uint64_t one = 1;
        (void)!::write(g_wake, &one, sizeof one);
        g_thread->join();
        delete g_thread;
        g_thread = nullptr;
        XCloseDisplay(g_display);
        g_display = nullptr;
        ::close(g_wake);
        g_wake = -1;
    } catch (...) {
    }
}

// A program that unloads the library without finalising it must not leave the thread running
// code that is about to be unmapped.
__attribute__((destructor)) static void StopOnUnload()
{
    FinalisationHook();
}
