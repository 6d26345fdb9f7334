// The pipette's cost on a real X display: one sampling tick without the loupe (cursor position,
// panel rectangle, one screen pixel) and with it (one 15 x 15 block read, the loupe fed and
// repainted), and the program's CPU share while the pipette runs with its 10 ms timer and the
// hook library loaded, without the loupe and with it visible (pointer at rest and moving). Run
// through bench/pipette.sh, which provides a virtual display.
#include "controls/Loupe.h"
#include "controls/Panel.h"
#include "hook/HookMouse.h"
#include "mainwindow/MainForm.h"
#include "mainwindow/Pipette.h"

#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <cstdio>
#include <sys/resource.h>

namespace {

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void Wait(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// CPU share of the event loop for 3 s.
double CpuShare(const char *what)
{
    QElapsedTimer wall;
    const double cpu0 = CpuSeconds();
    wall.start();
    Wait(3000);
    const double share = (CpuSeconds() - cpu0) / (double(wall.nsecsElapsed()) / 1e9);
    std::printf("CPU %-46s %5.2f%% of one core\n", what, share * 100.0);
    return share;
}

// The pointer's place at step i of a slow walk over the desktop, away from the window.
QPoint Walk(int i)
{
    return QPoint(600 + i % 300, 400 + (i / 3) % 200);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    jov::TMainForm form;
    jov::TPipette &pipette = form.pipette();
    pipette.hook()->ShowMessage = [](const QString &text) {
        std::fprintf(stderr, "hook: %s\n", qPrintable(text));
    };
    form.show();
    QCursor::setPos(QPoint(600, 400)); // away from the pipette's panel: every tick samples
    QApplication::processEvents();

    // `ticks` direct calls of the tick; with `moving`, the pointer is put one step further
    // before each (that warp is part of the figure).
    const auto tickCost = [&form](const char *what, bool moving) {
        constexpr int ticks = 2000;
        QElapsedTimer timer;
        const double cpu0 = CpuSeconds();
        timer.start();
        for (int i = 0; i < ticks; ++i) {
            if (moving)
                QCursor::setPos(Walk(i));
            form.TimerTimer();
            QApplication::processEvents(); // the loupe's repaint and move
        }
        const double us = double(timer.nsecsElapsed()) / 1000.0 / ticks;
        const double cpuUs = (CpuSeconds() - cpu0) * 1e6 / ticks;
        std::printf("one pipette tick, %-30s %6.1f us (CPU %6.1f us, %.2f%% of its 10 ms)\n", what,
                    us, cpuUs, us / 100.0);
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
    };
    const auto loupeShown = [&pipette] { return pipette.loupe() && pipette.loupe()->isVisible(); };

    // The user moves the mouse: one pixel or so at every tick. What moving the pointer costs
    // this process by itself is measured with the window idle.
    const auto moving = [](const char *what) {
        QTimer mover;
        int step = 0;
        QObject::connect(&mover, &QTimer::timeout, [&step] { QCursor::setPos(Walk(step++)); });
        mover.start(10);
        CpuShare(what);
    };

    tickCost("no loupe, pointer at rest:", false);
    tickCost("no loupe, pointer moving:", true);
    CpuShare("with the window idle:");
    moving("with the window idle, pointer moving:");
    pipette.timer()->start();
    CpuShare("with the sampling timer alone:");
    pipette.timer()->stop();

    start(false);
    if (loupeShown()) {
        std::fprintf(stderr, "a loupe is shown with the option off\n");
        return 1;
    }
    CpuShare("while the pipette runs, no loupe (< 3%):");
    moving("pipette, no loupe, pointer moving:");
    form.EndPipette(600, 400);
    QApplication::processEvents();

    start(true);
    if (!loupeShown()) {
        std::fprintf(stderr, "the loupe is not shown\n");
        return 1;
    }
    const QRect shown = pipette.loupe()->deviceRect();
    std::printf("the loupe is shown: %dx%d at %d,%d\n", shown.width(), shown.height(), shown.x(),
                shown.y());
    CpuShare("with the loupe, pointer at rest (< 5%):");
    moving("with the loupe, pointer moving (< 5%):");
    pipette.timer()->stop(); // the ticks below are called directly
    tickCost("loupe, pointer at rest:", false);
    tickCost("loupe, pointer moving:", true);
    if (!loupeShown()) {
        std::fprintf(stderr, "the loupe went away during the measure\n");
        return 1;
    }
    form.EndPipette(600, 400);
    QApplication::processEvents();

    // The largest sampling square: its mean over 225 pixels at every tick.
    start(true, 15);
    CpuShare("loupe and a 15 x 15 square, at rest:");
    moving("loupe and a 15 x 15 square, moving:");
    form.EndPipette(600, 400);
    return 0;
}
