// Pick start-up benchmark: launches `jov` and `jov --pick` alternately and measures, from
// launch, the time until the main window maps and the time until the pick is ready (the
// pipette's cursor shown, which happens once the pointer is grabbed, and its loupe mapped), and
// prints the medians and their ratio. Needs an X display (bench/pick.sh provides a virtual one).
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

int g_fixesEvent = 0;

// Milliseconds from launch until the program's first top-level window larger than one pixel
// maps and, with `pick`, the displayed cursor has changed too; -1 after 20 s.
double launch(Display *display, const char *program, bool pick, const char *configHome)
{
    XSync(display, True); // drop events of earlier runs
    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        setenv("XDG_CONFIG_HOME", configHome, 1);
        setenv("XDG_RUNTIME_DIR", configHome, 1);
        if (pick)
            execl(program, program, "--pick", "--no-copy", static_cast<char *>(nullptr));
        else
            execl(program, program, static_cast<char *>(nullptr));
        _exit(127);
    }
    bool mapped = false, cursor = !pick;
    double ms = -1;
    const auto deadline = start + std::chrono::seconds(20);
    while (Clock::now() < deadline && ms < 0) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify) {
                XWindowAttributes attributes;
                // Neither the off-screen window that holds the pick's grabs nor the pointer's
                // windows of other programs: the first real window after the launch.
                if (XGetWindowAttributes(display, event.xmap.window, &attributes) &&
                    attributes.width > 1)
                    mapped = true;
            } else if (event.type == g_fixesEvent + XFixesCursorNotify) {
                cursor = true;
            }
            if (mapped && cursor) {
                ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
                break;
            }
        }
        if (ms < 0)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    return ms;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s JOV_PROGRAM [RUNS]\n", argv[0]);
        return 2;
    }
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 9;
    Display *display = XOpenDisplay(nullptr);
    int fixesError = 0;
    if (!display || !XFixesQueryExtension(display, &g_fixesEvent, &fixesError)) {
        std::fprintf(stderr, "no X display with XFIXES\n");
        return 2;
    }
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XFixesSelectCursorInput(display, DefaultRootWindow(display), XFixesDisplayCursorNotifyMask);
    char configHome[] = "/tmp/jov-bench-XXXXXX";
    if (!mkdtemp(configHome))
        return 2;

    std::vector<double> windowMs, pickMs;
    launch(display, argv[1], false, configHome); // warm the file cache
    launch(display, argv[1], true, configHome);
    for (int i = 0; i < runs; ++i) {
        const double window = launch(display, argv[1], false, configHome);
        const double pick = launch(display, argv[1], true, configHome);
        if (window < 0 || pick < 0) {
            std::fprintf(stderr, "a window or the pick did not come up in time\n");
            return 1;
        }
        windowMs.push_back(window);
        pickMs.push_back(pick);
    }
    const double w = median(windowMs), p = median(pickMs);
    std::printf("pick start-up, median of %d alternate runs each\n", runs);
    std::printf("  launch to mapped main window:          %.1f ms\n", w);
    std::printf("  launch to pick ready (cursor, loupe):  %.1f ms, ratio %.2f (target <= 1.1)\n", p,
                p / w);
    std::string cleanup = std::string("rm -rf '") + configHome + "'";
    return std::system(cleanup.c_str()) == 0 ? 0 : 1;
}
