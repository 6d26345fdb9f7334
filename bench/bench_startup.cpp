// Start-up benchmark: launches the program and the text floor (a Qt window that draws a label, a
// line edit and a button) alternately and measures, from launch: the time until the first
// top-level window of the launched process maps, the time until its first paint (the screen
// damage inside that window first covers half of it), the CPU time the process spent until
// then, and its resident memory once the paint has settled; then prints the medians and the
// ratios. Needs an X display with the DAMAGE extension (bench/startup.sh provides a virtual
// one); libXdamage is opened at run time, so only its runtime package is needed.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <dlfcn.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// The part of libXdamage used here (its Xdamage.h).
using DamageId = XID;
struct DamageNotifyEvent
{
    int type;
    unsigned long serial;
    Bool send_event;
    Display *display;
    Drawable drawable;
    DamageId damage;
    int level;
    Bool more;
    Time timestamp;
    XRectangle area;
    XRectangle geometry;
};
constexpr int DamageReportRawRectangles = 0;
int g_damageEvent = 0;

long windowPid(Display *display, Window window)
{
    static Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char *data = nullptr;
    long pid = -1;
    if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format,
                           &count, &after, &data) == Success &&
        data && count == 1 && format == 32)
        pid = long(*reinterpret_cast<unsigned long *>(data));
    if (data)
        XFree(data);
    return pid;
}

long residentKiB(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return -1;
}

// CPU time of all the process's threads so far, in ms.
double cpuMs(pid_t pid)
{
    double ns = 0;
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    std::error_code error;
    for (const auto &task : std::filesystem::directory_iterator(tasks, error)) {
        std::ifstream schedstat(task.path() / "schedstat");
        double onCpu = 0;
        if (schedstat >> onCpu)
            ns += onCpu;
    }
    return ns / 1e6;
}

struct Sample
{
    double mapMs = -1;
    double paintMs = -1;
    double cpuMs = -1;
    long kib = -1;
};

Sample launch(Display *display, const char *program, const char *configHome)
{
    XSync(display, True); // drop events of earlier runs
    const auto start = Clock::now();
    const auto since = [start] {
        return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    };
    const pid_t pid = fork();
    if (pid == 0) {
        setenv("XDG_CONFIG_HOME", configHome, 1);
        execl(program, program, static_cast<char *>(nullptr));
        _exit(127);
    }
    Sample sample;
    int left = 0, top = 0;
    unsigned width = 0, height = 0;
    std::vector<char> covered; // one cell per pixel of the window, once it has mapped
    long coveredCount = 0;
    const auto deadline = start + std::chrono::seconds(20);
    while (Clock::now() < deadline && sample.paintMs < 0) {
        while (XPending(display) && sample.paintMs < 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify && sample.mapMs < 0 &&
                windowPid(display, event.xmap.window) == pid) {
                sample.mapMs = since();
                Window root = 0, child = 0;
                unsigned border = 0, depth = 0;
                XGetGeometry(display, event.xmap.window, &root, &left, &top, &width, &height,
                             &border, &depth);
                XTranslateCoordinates(display, event.xmap.window, root, 0, 0, &left, &top, &child);
                covered.assign(std::size_t(width) * height, 0);
            } else if (event.type == g_damageEvent && sample.mapMs >= 0) {
                const XRectangle &a = reinterpret_cast<const DamageNotifyEvent &>(event).area;
                const int x0 = std::max<int>(a.x, left), y0 = std::max<int>(a.y, top);
                const int x1 = std::min<int>(a.x + a.width, left + int(width));
                const int y1 = std::min<int>(a.y + a.height, top + int(height));
                for (int y = y0; y < y1; ++y)
                    for (int x = x0; x < x1; ++x) {
                        char &cell = covered[std::size_t(y - top) * width + (x - left)];
                        coveredCount += cell == 0;
                        cell = 1;
                    }
                if (coveredCount * 2 >= long(width) * long(height)) {
                    sample.paintMs = since();
                    sample.cpuMs = cpuMs(pid);
                }
            }
        }
        if (sample.paintMs < 0)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    // Memory once the first paint has settled.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    sample.kib = residentKiB(pid);
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    return sample;
}

template <typename T> T median(std::vector<T> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s JOV_PROGRAM FLOOR_PROGRAM [RUNS]\n", argv[0]);
        return 2;
    }
    const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 7;
    Display *display = XOpenDisplay(nullptr);
    void *damage = dlopen("libXdamage.so.1", RTLD_NOW);
    using QueryExtension = Bool (*)(Display *, int *, int *);
    using Create = DamageId (*)(Display *, Drawable, int);
    const auto queryExtension =
        damage ? reinterpret_cast<QueryExtension>(dlsym(damage, "XDamageQueryExtension")) : nullptr;
    const auto create = damage ? reinterpret_cast<Create>(dlsym(damage, "XDamageCreate")) : nullptr;
    int damageError = 0;
    if (!display || !queryExtension || !create ||
        !queryExtension(display, &g_damageEvent, &damageError)) {
        std::fprintf(stderr, "no X display with DAMAGE (libXdamage.so.1)\n");
        return 2;
    }
    // XDamageNotify is the extension's first event; everything drawn on the screen is reported.
    create(display, DefaultRootWindow(display), DamageReportRawRectangles);
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    char configHome[] = "/tmp/jov-bench-XXXXXX";
    if (!mkdtemp(configHome))
        return 2;

    std::vector<Sample> jov, floor;
    launch(display, argv[2], configHome); // warm the file cache for both
    launch(display, argv[1], configHome);
    for (int i = 0; i < runs; ++i) {
        floor.push_back(launch(display, argv[2], configHome));
        jov.push_back(launch(display, argv[1], configHome));
        if (floor.back().paintMs < 0 || jov.back().paintMs < 0) {
            std::fprintf(stderr, "a window did not map and paint in time\n");
            return 1;
        }
    }
    std::printf("start-up, median of %d alternate runs each    JOV      text floor  ratio\n", runs);
    const auto row = [&](const char *what, double Sample::*field, double scale, const char *unit) {
        std::vector<double> a, b;
        for (const Sample &s : jov)
            a.push_back(s.*field);
        for (const Sample &s : floor)
            b.push_back(s.*field);
        const double ja = median(a) * scale, fb = median(b) * scale;
        std::printf("  %-38s %7.1f %-2s %7.1f %-2s %5.2f\n", what, ja, unit, fb, unit, ja / fb);
    };
    row("launch to mapped window", &Sample::mapMs, 1, "ms");
    row("launch to first paint (half the window)", &Sample::paintMs, 1, "ms");
    row("CPU until the first paint", &Sample::cpuMs, 1, "ms");
    std::vector<double> jk, fk;
    for (const Sample &s : jov)
        jk.push_back(double(s.kib));
    for (const Sample &s : floor)
        fk.push_back(double(s.kib));
    const double jm = median(jk) / 1024.0, fm = median(fk) / 1024.0;
    std::printf("  %-38s %7.1f MB %7.1f MB %5.2f (target <= 1.05)\n", "resident memory", jm, fm,
                jm / fm);
    std::string cleanup = std::string("rm -rf '") + configHome + "'";
    return std::system(cleanup.c_str()) == 0 ? 0 : 1;
}
