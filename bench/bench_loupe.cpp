// The loupe's share of a pipette tick on a real X display: reading the 15 x 15 block around the
// hot spot in one request, handing it to the loupe and letting it repaint and move. Run on a
// virtual display, e.g. through bench/pipette.sh with this program's name.
#include "controls/Loupe.h"
#include "controls/ScreenBlock.h"

#include <QApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <functional>
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
    if (QGuiApplication::platformName() != QStringLiteral("xcb")) {
        std::fprintf(stderr, "needs an X display\n");
        return 1;
    }
    jov::TLoupe loupe;
    jov::ScreenBlock block;
    const jov::LoupeMonitor monitor = jov::LoupeMonitorAt({QPoint(100, 100), 0});

    // One tick; the hot spot moves by `step` pixels each time (0: the pointer rests).
    const auto measure = [&](const char *what, int step) {
        constexpr int ticks = 2000;
        QElapsedTimer timer;
        const double cpu0 = CpuSeconds();
        timer.start();
        for (int i = 0; i < ticks; ++i) {
            const QPoint hot(100 + (i * step) % 400, 100 + (i * step) % 300);
            jov::ReadScreenBlock({hot, 0}, block);
            loupe.showBlock(block.image, block.validCells, hot, monitor.device,
                            monitor.devicePixelRatio);
            QApplication::processEvents(); // the repaint and the move
        }
        const double us = double(timer.nsecsElapsed()) / 1000.0 / ticks;
        const double cpuUs = (CpuSeconds() - cpu0) * 1e6 / ticks;
        // At 100 ticks a second, the CPU time of one tick in microseconds / 100 is the share of
        // one core.
        std::printf("loupe tick, %-18s %.1f us, of it CPU %.1f us (%.2f%% of one core at 100 Hz)\n",
                    what, us, cpuUs, cpuUs / 100.0);
    };
    measure("pointer at rest:", 0);
    measure("pointer moving:", 1);

    // The two parts of a moving tick on their own: the window moved without a new picture, and
    // a new picture painted without a move.
    const auto part = [&](const char *what, const std::function<void(int)> &step) {
        constexpr int ticks = 2000;
        QElapsedTimer timer;
        const double cpu0 = CpuSeconds();
        timer.start();
        for (int i = 0; i < ticks; ++i) {
            step(i);
            QApplication::processEvents();
        }
        const double us = double(timer.nsecsElapsed()) / 1000.0 / ticks;
        const double cpuUs = (CpuSeconds() - cpu0) * 1e6 / ticks;
        std::printf("loupe, %-27s %.1f us, of it CPU %.1f us\n", what, us, cpuUs);
    };
    part("moved only:", [&](int i) {
        loupe.placeNear(QPoint(100 + i % 400, 100 + i % 300), monitor.device,
                        monitor.devicePixelRatio);
    });
    QImage image(jov::LoupeBlockSide, jov::LoupeBlockSide, QImage::Format_RGB32);
    part("repainted only:", [&](int i) {
        image.fill(QColor::fromRgb(QRgb(0xff000000u | unsigned(i * 2654435761u))));
        loupe.showBlock(image, image.rect(), QPoint(100, 100), monitor.device,
                        monitor.devicePixelRatio);
    });
    return 0;
}
