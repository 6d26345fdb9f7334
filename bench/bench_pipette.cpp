// The pipette's cost on a real X display: one sampling tick (cursor position, panel rectangle,
// one screen pixel), and the program's CPU share while the pipette runs with its 10 ms timer and
// the hook library loaded. Run through bench/pipette.sh, which provides a virtual display.
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
    QCursor::setPos(QPoint(5, 5)); // away from the pipette's panel: every tick samples
    QApplication::processEvents();

    constexpr int ticks = 2000;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < ticks; ++i)
        form.TimerTimer();
    const double tickUs = double(timer.nsecsElapsed()) / 1000.0 / ticks;
    std::printf("one pipette tick: %.1f us (%.2f%% of its 10 ms interval)\n", tickUs,
                tickUs / 100.0);

    // CPU share of the event loop for 3 s, while `what` runs.
    auto cpuShare = [](const char *what) {
        QElapsedTimer wall;
        const double cpu0 = CpuSeconds();
        wall.start();
        QEventLoop loop;
        QTimer::singleShot(3000, &loop, &QEventLoop::quit);
        loop.exec();
        const double share = (CpuSeconds() - cpu0) / (double(wall.nsecsElapsed()) / 1e9);
        std::printf("CPU %-34s %.2f%% of one core\n", what, share * 100.0);
        return share;
    };
    cpuShare("with the window idle:");
    pipette.timer()->start();
    cpuShare("with the sampling timer alone:");
    pipette.timer()->stop();

    // A real start comes from a press on the pipette image that is still held.
    pipette.hook()->QueryShiftState = [] { return jov::TShiftState(jov::TShiftStates::ssLeft); };
    form.ImgPipetteMouseDown();
    if (!pipette.active() || !pipette.hook()->started()) {
        std::fprintf(stderr, "the pipette did not start with the hook library\n");
        return 1;
    }
    QEventLoop settle;
    QTimer::singleShot(300, &settle, &QEventLoop::quit);
    settle.exec();
    cpuShare("while the pipette runs (target < 3%):");
    form.EndPipette(5, 5);
    return 0;
}
