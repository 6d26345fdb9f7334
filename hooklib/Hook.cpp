// The X11 mouse hook library (libHook.so), loaded by the program at run time. What it sends and
// when is described in hook/HookWire.h.
//
// InitialisationHook(receiver) opens a connection of its own to the program's display and
// starts a thread that listens to the raw pointer events of the whole display (XInput 2 raw
// motion and button events on the root window, all master pointers). X and Y of a record are
// the pointer position on the root window of the screen it is on when the record is made;
// HandleWindow is the top-level window under the pointer. Buttons 1, 3 and 2 give the left,
// right and middle messages, buttons 8 and 9 the X buttons; the wheel (buttons 4 and 5) gives
// one wheel message per notch, on the press only.
//
// The reply cannot stop anything: raw events are copies, the server has already delivered the
// real event. Moves that pile up while the program is busy are sent as one record, since the
// position is read afresh for each record anyway.
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
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
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

enum class Outcome { Answered, Stop };

// Waits for the program's reply; Stop when finalisation is asked or the program is gone.
Outcome AwaitReply(int receiver, int wake)
{
    for (;;) {
        pollfd fds[2] = {{receiver, POLLIN, 0}, {wake, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return Outcome::Stop;
        }
        if (fds[1].revents)
            return Outcome::Stop;
        if (fds[0].revents & POLLIN) {
            unsigned char reply[4];
            const ssize_t got = ::recv(receiver, reply, sizeof reply, MSG_DONTWAIT);
            if (got > 0)
                return Outcome::Answered;
            if (got < 0 && (errno == EAGAIN || errno == EINTR))
                continue;
            return Outcome::Stop; // end of file: the program shut its end
        }
        if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL))
            return Outcome::Stop;
    }
}

Outcome Deliver(Display *display, const Message &message, int receiver, int wake)
{
    Window root = 0;
    Window child = 0;
    int rootX = 0;
    int rootY = 0;
    int winX = 0;
    int winY = 0;
    unsigned int mask = 0;
    XQueryPointer(display, DefaultRootWindow(display), &root, &child, &rootX, &rootY, &winX, &winY,
                  &mask);
    if (g_connectionLost)
        return Outcome::Stop;

    const auto record = Encode(
        {message.msg, rootX, rootY, static_cast<uint32_t>(child), HitClient, message.extraInfo});
    const ssize_t sent =
        ::send(receiver, record.data(), record.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
    if (sent != static_cast<ssize_t>(record.size())) {
        // A full queue cannot happen with one record in flight; if it does, drop the record
        // rather than block.
        if (sent < 0 && (errno == EAGAIN || errno == EINTR))
            return Outcome::Answered;
        return Outcome::Stop;
    }
    return AwaitReply(receiver, wake);
}

void Run(Display *display, int xiOpcode, int receiver, int wake)
{
    const int connection = ConnectionNumber(display);
    std::vector<Message> batch;
    for (;;) {
        while (!g_connectionLost && XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            XGenericEventCookie *cookie = &event.xcookie;
            if (cookie->type != GenericEvent || cookie->extension != xiOpcode ||
                !XGetEventData(display, cookie))
                continue;
            const int button = static_cast<const XIRawEvent *>(cookie->data)->detail;
            const int evtype = cookie->evtype;
            XFreeEventData(display, cookie);
            Message message;
            if (!MessageFor(evtype, button, message))
                continue;
            if (message.msg == MouseMove && !batch.empty() && batch.back().msg == MouseMove)
                continue;
            batch.push_back(message);
        }
        if (g_connectionLost)
            return;
        if (!batch.empty()) {
            for (const Message &message : batch) {
                if (Deliver(display, message, receiver, wake) == Outcome::Stop)
                    return;
            }
            batch.clear();
            continue; // events may have queued up while the program was answering
        }
        pollfd fds[3] = {{connection, POLLIN, 0}, {wake, POLLIN, 0}, {receiver, 0, 0}};
        if (::poll(fds, 3, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[1].revents || (fds[2].revents & (POLLHUP | POLLERR | POLLNVAL)) ||
            (fds[0].revents & (POLLERR | POLLNVAL)))
            return;
        // Anything the program sends outside a reply is read and dropped.
        if (fds[2].revents & POLLIN) {
            unsigned char stray[64];
            if (::recv(receiver, stray, sizeof stray, MSG_DONTWAIT) == 0)
                return;
        }
    }
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
