// Cost of one full colour update: a channel field written, its slider following, the sample
// panel and the three format panels rewritten; then the same with the repaint that follows.
// Runs on the offscreen platform unless another is asked for.
#include "controls/NumberField.h"
#include "mainwindow/MainForm.h"

#include <QApplication>
#include <QElapsedTimer>

#include <cstdio>

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    jov::TMainForm form;
    form.show();
    QApplication::processEvents();
    auto *spinRouge = form.findChild<jov::TNumberField *>(QStringLiteral("SpinRouge"));

    auto run = [&](const char *name, int rounds, bool repaint) {
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < rounds; ++i) {
            spinRouge->setValue(i % 256);
            if (repaint)
                form.repaint();
        }
        const double us = double(timer.nsecsElapsed()) / 1000.0 / rounds;
        std::printf("%-34s %9.2f us  (%8.0f updates/s)\n", name, us, 1e6 / us);
    };
    run("warm-up", 2000, false);
    run("field -> slider -> panels -> sample", 20000, false);
    run("the same, with the window repainted", 2000, true);
    return 0;
}
