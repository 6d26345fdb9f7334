// The pipette's cost on a real X display, moved the way users move: a helper process (this
// program started with --move) moves the pointer through XTest relative motions, which raise
// raw input events as a mouse does, at 125 and 500 Hz. For the idle window and for the pipette
// without and with the loupe, at rest and at both rates, it prints the CPU share of the program
// and, separately, of the hook library's thread; before them, the cost of one sampling tick.
// Run through bench/pipette.sh, which provides a virtual display.
#include "controls/Loupe.h"
#include "hook/HookMouse.h"
#include "mainwindow/MainForm.h"
#include "mainwindow/Pipette.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTimer>

#include <X11/Xlib.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <dlfcn.h>
#include <sys/resource.h>

namespace {

constexpr int MeasureMs = 3000;

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// CPU seconds of the hook library's thread (named by the library); 0 while it does not run.
double HookThreadSeconds()
{
    const QDir tasks(QStringLiteral("/proc/self/task"));
    for (const QString &tid : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(tasks.filePath(tid + QStringLiteral("/comm")));
        if (!comm.open(QIODevice::ReadOnly) || comm.readAll().trimmed() != "jov-hook")
            continue;
        QFile schedstat(tasks.filePath(tid + QStringLiteral("/schedstat")));
        if (schedstat.open(QIODevice::ReadOnly))
            return schedstat.readAll().split(' ').value(0).toDouble() / 1e9;
    }
    return 0;
}

void Wait(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// The helper: `hz` relative motions a second for `ms`, one pixel each, round a 200 x 100
// rectangle, as XTest makes them (the library is opened at run time: only its runtime package
// is needed).
int Move(int hz, int ms)
{
    Display *display = XOpenDisplay(nullptr);
    void *xtst = dlopen("libXtst.so.6", RTLD_NOW);
    using FakeRelativeMotion = int (*)(Display *, int, int, unsigned long);
    const auto fake =
        xtst ? reinterpret_cast<FakeRelativeMotion>(dlsym(xtst, "XTestFakeRelativeMotionEvent"))
             : nullptr;
    if (!display || !fake) {
        std::fprintf(stderr, "no display or no XTest (libXtst.so.6)\n");
        return 1;
    }
    const long period = 1000000000L / hz;
    timespec next{};
    clock_gettime(CLOCK_MONOTONIC, &next);
    for (long i = 0; i < long(hz) * ms / 1000; ++i) {
        const long side = i % 600;
        const int dx = side < 200 ? 1 : side < 300 ? 0 : side < 500 ? -1 : 0;
        const int dy = side < 200 ? 0 : side < 300 ? 1 : side < 500 ? 0 : -1;
        fake(display, dx, dy, 0);
        XFlush(display);
        next.tv_nsec += period;
        if (next.tv_nsec >= 1000000000L) {
            next.tv_nsec -= 1000000000L;
            ++next.tv_sec;
        }
        clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &next, nullptr);
    }
    XCloseDisplay(display);
    return 0;
}

struct Share
{
    double program = 0; // the whole process but the hook's thread
    double hook = 0;
};

// The shares while the pointer rests for MeasureMs (hz 0) or while the helper moves it.
Share Measure(int hz)
{
    QProcess mover;
    QEventLoop loop;
    QObject::connect(&mover, &QProcess::finished, &loop, &QEventLoop::quit);
    QElapsedTimer wall;
    const double cpu0 = CpuSeconds();
    const double hook0 = HookThreadSeconds();
    wall.start();
    if (hz > 0) {
        mover.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--move"), QString::number(hz), QString::number(MeasureMs)});
        QTimer::singleShot(4 * MeasureMs, &loop, &QEventLoop::quit);
    } else {
        QTimer::singleShot(MeasureMs, &loop, &QEventLoop::quit);
    }
    loop.exec();
    if (hz > 0 && mover.state() != QProcess::NotRunning) {
        std::fprintf(stderr, "the mover did not end\n");
        std::exit(1);
    }
    const double seconds = double(wall.nsecsElapsed()) / 1e9;
    const double hook = HookThreadSeconds() - hook0;
    QCursor::setPos(QPoint(600, 400));
    return {(CpuSeconds() - cpu0 - hook) / seconds * 100, hook / seconds * 100};
}

void Row(const char *what)
{
    std::printf("%-30s", what);
    for (int hz : {0, 125, 500}) {
        const Share share = Measure(hz);
        std::printf("  %5.2f%% (hook %4.2f%%)", share.program, share.hook);
        std::fflush(stdout);
    }
    std::printf("\n");
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc == 4 && std::strcmp(argv[1], "--move") == 0)
        return Move(std::atoi(argv[2]), std::atoi(argv[3]));
    QApplication application(argc, argv);
    jov::TMainForm form;
    jov::TPipette &pipette = form.pipette();
    pipette.hook()->ShowMessage = [](const QString &text) {
        std::fprintf(stderr, "hook: %s\n", qPrintable(text));
    };
    form.show();
    QCursor::setPos(QPoint(600, 400)); // away from the pipette's panel: every tick samples
    QApplication::processEvents();

    // `ticks` direct calls of the tick; with `moving`, the pointer is warped one step further
    // before each (that warp is part of the figure).
    const auto tickCost = [&form](const char *what, bool moving) {
        constexpr int ticks = 2000;
        QElapsedTimer timer;
        const double cpu0 = CpuSeconds();
        timer.start();
        for (int i = 0; i < ticks; ++i) {
            if (moving)
                QCursor::setPos(QPoint(600 + i % 300, 400 + (i / 3) % 200));
            form.TimerTimer();
            QApplication::processEvents(); // the loupe's repaint and move
        }
        const double us = double(timer.nsecsElapsed()) / 1000.0 / ticks;
        const double cpuUs = (CpuSeconds() - cpu0) * 1e6 / ticks;
        std::printf("one pipette tick, %-30s %6.1f us (CPU %6.1f us)\n", what, us, cpuUs);
    };

    // A real start comes from a press on the pipette image that is still held.
    pipette.hook()->QueryShiftState = [] { return jov::TShiftState(jov::TShiftStates::ssLeft); };
    const auto start = [&](bool loupe, int side = 1) {
        jov::TOptionsRecord options = form.options();
        options.showLoupe = loupe;
        options.sampleSide = side;
        form.setOptions(options);
        QCursor::setPos(QPoint(600, 400));
        form.ImgPipetteMouseDown();
        if (!pipette.active() || !pipette.hook()->started()) {
            std::fprintf(stderr, "the pipette did not start with the hook library\n");
            std::exit(1);
        }
        Wait(300);
        if ((pipette.loupe() && pipette.loupe()->isVisible()) != loupe) {
            std::fprintf(stderr, "the loupe is %s\n", loupe ? "not shown" : "shown");
            std::exit(1);
        }
    };
    const auto end = [&] {
        form.EndPipette(600, 400);
        QApplication::processEvents();
    };

    tickCost("no loupe, pointer at rest:", false);
    tickCost("no loupe, pointer moving:", true);
    start(true);
    pipette.timer()->stop(); // the ticks below are called directly
    tickCost("loupe, pointer at rest:", false);
    tickCost("loupe, pointer moving:", true);
    end();

    std::printf("\nCPU, %% of one core, %d s each    at rest                     "
                "XTest 125 Hz               XTest 500 Hz\n",
                MeasureMs / 1000);
    Row("idle window");
    start(false);
    Row("pipette, no loupe");
    end();
    start(true);
    Row("pipette, loupe");
    end();
    start(true, 15);
    Row("pipette, loupe, 15 x 15 square");
    end();
    std::printf("targets for the pipette, loupe off or on: at rest <= 1.5%%, 125 Hz <= 4%%, "
                "500 Hz <= 8%%\n");
    return 0;
}
