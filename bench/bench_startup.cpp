// Start-up benchmark: launches the program and a bare Qt window alternately, measures the time
// from launch to the first mapped top-level window of the launched process and its resident
// memory just after, and prints the medians and the ratios. Needs an X display (see
// bench/startup.sh, which provides a virtual one).
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

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

struct Sample
{
    double ms = -1;
    long kib = -1;
};

Sample launch(Display *display, const char *program, const char *configHome)
{
    XSync(display, True); // drop events of earlier runs
    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        setenv("XDG_CONFIG_HOME", configHome, 1);
        execl(program, program, static_cast<char *>(nullptr));
        _exit(127);
    }
    Sample sample;
    const auto deadline = start + std::chrono::seconds(20);
    while (Clock::now() < deadline && sample.ms < 0) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify && windowPid(display, event.xmap.window) == pid) {
                sample.ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
                break;
            }
        }
        if (sample.ms < 0)
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
        std::fprintf(stderr, "usage: %s JOV_PROGRAM BARE_PROGRAM [RUNS]\n", argv[0]);
        return 2;
    }
    const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 7;
    Display *display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "no X display\n");
        return 2;
    }
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    char configHome[] = "/tmp/jov-bench-XXXXXX";
    if (!mkdtemp(configHome))
        return 2;

    std::vector<double> jovMs, bareMs;
    std::vector<long> jovKiB, bareKiB;
    launch(display, argv[2], configHome); // warm the file cache for both
    launch(display, argv[1], configHome);
    for (int i = 0; i < runs; ++i) {
        const Sample bare = launch(display, argv[2], configHome);
        const Sample jov = launch(display, argv[1], configHome);
        if (bare.ms < 0 || jov.ms < 0) {
            std::fprintf(stderr, "a window did not map in time\n");
            return 1;
        }
        bareMs.push_back(bare.ms);
        bareKiB.push_back(bare.kib);
        jovMs.push_back(jov.ms);
        jovKiB.push_back(jov.kib);
    }
    const double jt = median(jovMs), bt = median(bareMs);
    const double jm = median(jovKiB) / 1024.0, bm = median(bareKiB) / 1024.0;
    std::printf("start-up, median of %d alternate runs each\n", runs);
    std::printf("  launch to mapped window: JOV %.1f ms, bare Qt window %.1f ms, ratio %.2f "
                "(target <= 1.5)\n",
                jt, bt, jt / bt);
    std::printf("  resident memory:         JOV %.1f MB, bare Qt window %.1f MB, ratio %.2f "
                "(target <= 1.4)\n",
                jm, bm, jm / bm);
    std::string cleanup = std::string("rm -rf '") + configHome + "'";
    return std::system(cleanup.c_str()) == 0 ? 0 : 1;
}
